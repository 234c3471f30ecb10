// The rights and inherit types the access-control editor shows.
#include "app/security/securitytables.h"

#define R(mask, name, flags) \
  { &GUID_NULL, (ACCESS_MASK)(mask), name, (DWORD)(flags) }

SI_ACCESS kRegistryAccess[kRegistryAccessCount] = {
    R(0xF003F, L"Vollzugriff", 0x30000),
    R(0x20019, L"Lesen", 0x20000),
    R(0x1, L"Wert abfragen", 0x10000),
    R(0x2, L"Wert festlegen", 0x10000),
    R(0x4, L"Unterschl\u00FCssel erstellen", 0x10000),
    R(0x8, L"Unterschl\u00FCssel auflisten", 0x10000),
    R(0x10, L"Benachrichtigen", 0x10000),
    R(0x20, L"Verkn\u00FCpfung erstellen", 0x10000),
    R(0x10000, L"L\u00F6schen", 0x10000),
    R(0x40000, L"DAC schreiben", 0x10000),
    R(0x80000, L"Besitzer festlegen", 0x10000),
    R(0x20000, L"Berechtigungen lesen", 0x10000),
    R(0, L"---", 0),
};

SI_ACCESS kFileAccess[kFileAccessCount] = {
    R(0x1F03FF, L"Vollzugriff", 0x30003),
    R(0x1301BF, L"Modify", 0x30003),
    R(0x1200A0, L"Ausf\u00FChren", 0x30003),
    R(0x1200A9, L"Inhalt Lesen und Ausf\u00FChren", 0x30002),
    R(0x120089, L"Lesen", 0x20003),
    R(0x100116, L"Schreiben", 0x20003),
    R(0x20, L"Ordner durchsuchen / Datei ausf\u00FChren", 0x10003),
    R(0x1, L"Ordner auflisten / Datei lesen", 0x10003),
    R(0x80, L"Attribute lesen", 0x10003),
    R(0x8, L"Erweiterte Attribute lesen", 0x10003),
    R(0x2, L"Dateien erstellen / Dateien schreiben", 0x10003),
    R(0x4, L"Ordner erstellen / Dateien anh\u00E4ngen", 0x10003),
    R(0x100, L"Attribute schreiben", 0x10003),
    R(0x10, L"Erweiterte Attribute schreiben", 0x10003),
    R(0x40, L"Unterordner und Dateien l\u00F6schn", 0x10003),
    R(0x10000, L"L\u00F6schen", 0x10003),
    R(0x20000, L"Berechtigungen lesen", 0x10003),
    R(0x40000, L"Berechtigungen \u00E4ndern", 0x10003),
    R(0x80000, L"Besitz \u00FCbernehmen", 0x10003),
    R(0x100000, L"Synchronize", 0x10003),
    R(0x1200A9, L"Lesen und und Ausf\u00FChren", 0),
    R(0x1201B6, L"Schreiben und Ausf\u00FChren", 0),
    R(0x1201BF, L"Lesen, Schreiben und Ausf\u00FChren", 0),
    R(0, L"---", 0),
};

#define I(flags, name) \
  { &GUID_NULL, (ULONG)(flags), name }

SI_INHERIT_TYPE kInheritTypes[kInheritTypeCount] = {
    I(0, L"Nur diese Objekt"),
    I(3, L"Diesen Ordner, Unterodner und Dateien"),
    I(2, L"Diesen Ordner, Unterodner"),
    I(1, L"Diesen Ordner, Dateien"),
    I(0xB, L"Nur Unterodner und Dateien"),
    I(0xA, L"Nur Unterodner"),
    I(9, L"Nur Dateien"),
};
