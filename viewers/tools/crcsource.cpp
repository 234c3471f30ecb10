#include "viewers/tools/crcsource.h"

#include <cstdio>
#include <string>

#include "viewers/tools/crcengine.h"

namespace {

std::string Hex(uint64_t value, int width) {
  char text[24];
  CrcHexText(text, value, width);
  return text;
}

// printf-style filling of the templates below; every piece is a ready string.
std::string Fill(const char* pattern, std::initializer_list<std::string> pieces) {
  std::string out;
  auto it = pieces.begin();
  for (const char* p = pattern; *p; p++) {
    if (p[0] == '%' && p[1] == 's' && it != pieces.end()) {
      out += *it++;
      p++;
    } else {
      out += *p;
    }
  }
  return out;
}

const char kReflected[] =
    "%s};\r\n"
    "\r\n"
    "CrcType CrcCalc(const void *pMem,int iLen)\r\n"
    "    {\r\n"
    "    const unsigned char *pPtr = (const unsigned char*)pMem;\r\n"
    "    CrcType              uCrc = %s;\r\n"
    "\r\n"
    "    while(iLen>0)\r\n"
    "        {\r\n"
    "        uCrc = aCrcTable%s;\r\n"
    "        pPtr++;\r\n"
    "        iLen--;\r\n"
    "        }\r\n"
    "\r\n"
    "    return uCrc;\r\n"
    "    }\r\n"
    "\r\n"
    "void CrcGenerateTable()\r\n"
    "    {\r\n"
    "    #define     POLYNOM   %s\r\n"
    "    CrcType     uVal;\r\n"
    "    unsigned    uPos;\r\n"
    "    unsigned    uOff;\r\n"
    "\r\n"
    "    for(uPos=0;uPos<256;uPos++)\r\n"
    "        {\r\n"
    "        uVal = uPos;\r\n"
    "\r\n"
    "        for(uOff=0;uOff<8;uOff++)\r\n"
    "            {\r\n"
    "            uVal = (uVal >> 1) ^ (POLYNOM & ~((uVal&1)-1));\r\n"
    "            }\r\n"
    "\r\n"
    "        aCrcTable[uPos] = uVal;\r\n"
    "        }\r\n"
    "    }\r\n";

const char kMsbFirst[] =
    "%s};\r\n"
    "\r\n"
    "CrcType CrcCalc(const void *pMem,int iLen)\r\n"
    "    {\r\n"
    "    const unsigned char *pPtr = (const unsigned char*)pMem;\r\n"
    "    CrcType              uCrc = %s;\r\n"
    "    unsigned char        ucByte;\r\n"
    "\r\n"
    "    while(iLen>0)\r\n"
    "        {%s\r\n"
    "        ucByte = %s^*pPtr;\r\n"
    "        uCrc   = aCrcTable[ucByte] ^ %s;\r\n"
    "        pPtr++;\r\n"
    "        iLen--;\r\n"
    "        }\r\n"
    "\r\n"
    "    return uCrc%s;\r\n"
    "    }\r\n"
    "\r\n"
    "void CrcGenerateTable()\r\n"
    "    {\r\n"
    "    #define     POLYNOM   %s\r\n"
    "    CrcType     uVal;\r\n"
    "    CrcType     uXor;\r\n"
    "    unsigned    uPos;\r\n"
    "    unsigned    uOff;\r\n"
    "\r\n"
    "    for(uPos=0;uPos<256;uPos++)\r\n"
    "        {\r\n"
    "        uVal = 0;\r\n"
    "        uXor = (CrcType)uPos<<%s;\r\n"
    "\r\n"
    "        for(uOff=0;uOff<8;uOff++)\r\n"
    "            {\r\n"
    "            if((uVal^uXor)&%s)\r\n"
    "                uVal = (uVal<<1)^POLYNOM;\r\n"
    "            else\r\n"
    "                uVal = (uVal<<1);\r\n"
    "            uXor <<= 1;\r\n"
    "            }\r\n"
    "\r\n"
    "        aCrcTable[uPos] = uVal%s;\r\n"
    "        }\r\n"
    "    }\r\n";

const char kShifted[] =
    "%s};\r\n"
    "\r\n"
    "CrcType CrcCalc(const void *pMem,int iLen)\r\n"
    "    {\r\n"
    "    const unsigned char *pPtr = (const unsigned char*)pMem;\r\n"
    "    CrcType              uCrc = %s;\r\n"
    "\r\n"
    "    while(iLen>0)\r\n"
    "        {\r\n"
    "        uCrc = aCrcTable[%s];\r\n"
    "        pPtr++;\r\n"
    "        iLen--;\r\n"
    "        }\r\n"
    "\r\n"
    "    return uCrc;\r\n"
    "    }\r\n"
    "\r\n"
    "void CrcGenerateTable()\r\n"
    "    {\r\n"
    "    #define     POLYNOM   %s\r\n"
    "    CrcType     uVal;\r\n"
    "    unsigned    uPos;\r\n"
    "    unsigned    uOff;\r\n"
    "\r\n"
    "    for(uPos=0;uPos<256;uPos++)\r\n"
    "        {\r\n"
    "        uVal = uPos;\r\n"
    "        if(uPos&%s)\r\n"
    "            uVal ^= POLYNOM;\r\n"
    "\r\n"
    "        for(uOff=1;uOff<8;uOff++)\r\n"
    "            {\r\n"
    "            if(uVal&%s)\r\n"
    "                uVal = (uVal<<1)^POLYNOM;\r\n"
    "            else\r\n"
    "                uVal = (uVal<<1);\r\n"
    "            }\r\n"
    "\r\n"
    "        aCrcTable[uPos] = uVal;\r\n"
    "        }\r\n"
    "    }\r\n";

}  // namespace

CString CrcWriteSource(const CrcSourceParams& prm) {
  int w = prm.width < 1 ? 1 : prm.width > 64 ? 64 : prm.width;
  uint64_t mask = prm.mask;
  std::string out;
  out += w <= 8    ? "typedef unsigned char"
         : w <= 16 ? "typedef unsigned short"
         : w <= 32 ? "typedef unsigned int"
                   : "typedef unsigned __int64";
  out += " CrcType;\r\n\r\nCrcType aCrcTable[256] =\r\n    {\r\n    ";
  int perLine = w <= 8 ? 12 : w <= 16 ? 8 : w <= 32 ? 4 : 2;
  for (int i = 0; i < 256; i++) {
    out += Hex(prm.table[i], w);
    out += (i + 1) % perLine == 0 ? " , \r\n    " : " , ";
  }
  std::string lineBreak = 256 % perLine ? "\r\n    " : "";
  std::string start = Hex(prm.start & mask, w);
  bool fullWidth = w == 8 || w == 16 || w == 32 || w == 64;
  switch (prm.algorithm) {
    case CRC_REFLECTED:
      out += Fill(kReflected, {lineBreak, start, w <= 8 ? "[uCrc^*pPtr]" : "[(uCrc^*pPtr)&0xFF] ^ (uCrc>>8)",
                               Hex(prm.polyReflected & mask, w)});
      break;
    case CRC_MSB_FIRST: {
      // Widths below 8 build their table left-aligned in the byte (see CrcTableMsbFirst).
      int pad = w < 8 ? 8 - w : 0;
      std::string maskText = Hex(mask, w);
      std::string index = w > 8   ? "(uCrc>>" + std::to_string(w - 8) + ")"
                          : w < 8 ? "(uCrc<<" + std::to_string(pad) + ")"
                                  : "uCrc";
      std::string tableEnd = fullWidth ? "" : pad ? ">>" + std::to_string(pad) + "&" + maskText : "&" + maskText;
      out +=
          Fill(kMsbFirst, {lineBreak, start, fullWidth ? "" : "\r\n        uCrc   &= " + maskText + ";", index,
                           "(uCrc<<8)", fullWidth ? "" : "&" + maskText, Hex((prm.polyNormal & mask) << pad, w + pad),
                           std::to_string(w > 8 ? w - 8 : 0), Hex(1ull << (w + pad - 1), w + pad), tableEnd});
      break;
    }
    case CRC_SHIFTED: {
      uint64_t t = w >= 64 ? 0 : 1ull << w;
      out += Fill(kShifted, {lineBreak, start, w <= 7 ? "(uCrc<<1)^*pPtr" : "((uCrc<<1)^*pPtr)&0xFF",
                             Hex(prm.polyNormal | t, w + 1), Hex(t, w + 1), Hex(1ull << (w - 1), w)});
      break;
    }
  }
  return CString(out.c_str(), (int)out.size());
}
