#include "system/files/pathnormal.h"

#include <string>
#include <vector>

#include "base/cstring.h"
#include "system/pathchars.h"

using pathchars::IsSep;

namespace {

template <class C>
int Length(const C* s) {
  int n = 0;
  while (s[n]) ++n;
  return n;
}

template <class C>
C FoldCase(C c) {
  if (c >= 'a' && c <= 'z') return (C)(c - 32);
  // Latin-1 small letters but ÷ and ÿ.
  unsigned u = (unsigned)(sizeof(C) == 1 ? (unsigned char)c : (unsigned)c);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return (C)(c - 32);
  return c;
}

// Length of the root that ".." never removes.
template <class C>
int RootLength(const C* p, int n) {
  if (n >= 2 && IsSep(p[0]) && IsSep(p[1])) {
    int i = 2;
    while (i < n && !IsSep(p[i])) ++i;
    return i;
  }
  for (int i = 0; i < n && !IsSep(p[i]); ++i) {
    if (p[i] == ':') {
      int r = i + 1;
      if (r + 1 < n && IsSep(p[r]) && IsSep(p[r + 1])) ++r;
      return r;
    }
  }
  return 0;
}

template <class C>
bool IsDots(const C* p, int n, int dots) {
  if (n != dots) return false;
  for (int i = 0; i < n; ++i) {
    if (p[i] != '.') return false;
  }
  return true;
}

// The normalisation of n input characters into out[size]; the input must not
// overlap the output.
template <class C>
int Canonicalize(C* out, const C* in, int size, int n) {
  if (size < 2) {
    if (size == 1) out[0] = 0;
    return -1;
  }
  int root = RootLength(in, n);
  if (root > size - 1) {
    out[0] = 0;
    return -1;
  }
  int len = root;
  for (int i = 0; i < root; ++i) out[i] = in[i];
  auto fail = [&]() {
    out[0] = 0;
    return -1;
  };
  auto append = [&](const C* p, int count) {
    if (len + count > size - 1) return false;
    for (int i = 0; i < count; ++i) out[len++] = p[i];
    return true;
  };
  int i = root;
  while (i < n) {
    int start = i;
    while (i < n && !IsSep(in[i])) ++i;
    const C* comp = in + start;
    int compLength = i - start;
    bool hasSep = i < n;
    int withSep = compLength + (hasSep ? 1 : 0);
    if (hasSep) ++i;
    int written = len - root;
    if (IsDots(comp, compLength, 1)) {
      if (hasSep) continue;
      if (written >= 2) {
        --len;  // the trailing separator
        break;
      }
      if (!append(comp, withSep)) return fail();
      continue;
    }
    if (IsDots(comp, compLength, 2) && written >= 2 && !pathchars::IsSepOrColon(out[len - 2])) {
      // The previous component P ends before the trailing separator.
      int end = len - 1;
      int ps = end;
      while (ps > root && !pathchars::IsSepOrColon(out[ps - 1])) --ps;
      bool pIsDotDot = IsDots(out + ps, end - ps, 2);
      bool pIsLeadingDot = ps == root && IsDots(out + ps, end - ps, 1);
      if (pIsDotDot || pIsLeadingDot) {
        if (!append(comp, withSep)) return fail();
        continue;
      }
      if (!hasSep) {
        if (ps > root) {
          len = ps - 1;
          if (len == root && IsSep(out[root])) {
            len = root + 1;
            out[len++] = '.';
          }
        } else {
          len = root;
        }
        break;
      }
      if (ps > root) {
        len = ps;
      } else {
        len = root;
        out[len++] = '.';
        out[len++] = in[i - 1];
      }
      continue;
    }
    if (!append(comp, withSep)) return fail();
  }
  out[len] = 0;
  return len;
}

template <class C>
int CanonicalizeCopy(C* out, const C* in, int size, int n) {
  if (!out) return -1;
  if (!in || n < 0) n = 0;
  // The output never outgrows the input, but a private copy keeps the walk
  // simple whether or not the two share a buffer.
  std::basic_string<C> copy(in ? in : out, in ? (size_t)n : 0);
  if (size < 2) return Canonicalize(out, copy.c_str(), size, (int)copy.size());
  // Into room for the whole result first: a path whose result fits does not
  // fail for a longer component on the way ("a\\long\\.." fits "a").
  std::basic_string<C> work(copy.size() + 3, (C)0);
  int len = Canonicalize(&work[0], copy.c_str(), (int)work.size(), (int)copy.size());
  if (len < 0 || len > size - 1) {
    out[0] = 0;
    return -1;
  }
  for (int i = 0; i <= len; ++i) out[i] = work[(size_t)i];
  return len;
}

template <class C>
int Join(C* out, const C* base, int size, int baseLength, const C* rel, int relLength) {
  if (!base) baseLength = 0;
  if (!rel) relLength = 0;
  if (baseLength < 0) baseLength = Length(base);
  if (relLength < 0) relLength = Length(rel);
  std::basic_string<C> r(rel ? rel : base, (size_t)relLength);
  bool alone = r.size() >= 2 && IsSep(r[0]) && IsSep(r[1]);
  if (!alone) {
    size_t k = 0;
    while (k < r.size() && !IsSep(r[k])) ++k;
    size_t colon = r.substr(0, k).find((C)':');
    alone = colon != std::basic_string<C>::npos && colon + 1 < k;
  }
  if (alone) return CanonicalizeCopy(out, r.c_str(), size, (int)r.size());
  std::basic_string<C> joined(base ? base : r.c_str(), (size_t)baseLength);
  bool baseSep = !joined.empty() && IsSep(joined.back());
  bool relSep = !r.empty() && IsSep(r[0]);
  if (baseSep && relSep) {
    r.erase(0, 1);
  } else if (!baseSep && !relSep) {
    joined += (C)'\\';
  }
  joined += r;
  return CanonicalizeCopy(out, joined.c_str(), size, (int)joined.size());
}

struct Component {
  int start;
  int length;
};

// Components of a path behind its leading separators; empty ones (doubled
// separators) are passed over. The last separator character met is kept.
template <class C>
std::vector<Component> Components(const C* p, int from, C* lastSep) {
  std::vector<Component> out;
  int i = from;
  while (p[i]) {
    if (IsSep(p[i])) {
      if (lastSep) *lastSep = p[i];
      ++i;
      continue;
    }
    int start = i;
    while (p[i] && !IsSep(p[i])) ++i;
    out.push_back(Component{start, i - start});
  }
  return out;
}

template <class C>
bool SameComponent(const C* a, Component ca, const C* b, Component cb) {
  if (ca.length != cb.length) return false;
  for (int i = 0; i < ca.length; ++i) {
    if (FoldCase(a[ca.start + i]) != FoldCase(b[cb.start + i])) return false;
  }
  return true;
}

template <class C>
int LeadingSeps(const C* p) {
  int n = 0;
  while (n < 2 && IsSep(p[n])) ++n;
  return n;
}

template <class C>
int Relative(C* out, const C* fromIn, const C* toIn, int size, int minShared) {
  if (size < 1 || !out) return -1;
  std::basic_string<C> from(fromIn ? fromIn : out), to(toIn ? toIn : out);
  if (!fromIn) from.clear();
  if (!toIn) to.clear();
  out[0] = 0;
  if (from.size() > 259 || to.size() > 259) return -1;
  int lead = LeadingSeps(from.c_str());
  if (LeadingSeps(to.c_str()) != lead) return -1;
  if (lead == 2 && (from.size() < 3 || to.size() < 3)) return -1;
  C sep = '\\';
  auto f = Components(from.c_str(), lead, &sep);
  auto t = Components(to.c_str(), lead, (C*)nullptr);
  size_t shared = 0;
  while (shared < f.size() && shared < t.size() && SameComponent(from.c_str(), f[shared], to.c_str(), t[shared]))
    ++shared;
  if ((int)shared < minShared) return -1;
  std::basic_string<C> result;
  for (size_t k = shared; k < f.size(); ++k) {
    if (!result.empty()) result += sep;
    result += (C)'.';
    result += (C)'.';
  }
  size_t upsLength = result.size();
  if (shared < t.size()) {
    if (!result.empty()) result += sep;
    result.append(to, (size_t)t[shared].start, std::basic_string<C>::npos);
  } else if (result.empty() && !to.empty() && !IsSep(to.back())) {
    result += (C)'.';
  }
  if ((int)upsLength + 3 > size || (int)result.size() > size - 1) return -1;
  for (size_t k = 0; k < result.size(); ++k) out[k] = result[k];
  out[result.size()] = 0;
  return (int)result.size();
}

// Index where the protected prefix of p ends: before its n-th separator
// (doubled separators count once), counted after a leading pair.
template <class C>
size_t ProtectedEnd(const std::basic_string<C>& p, int n) {
  size_t i = 0;
  if (p.size() >= 2 && IsSep(p[0]) && IsSep(p[1])) {
    i = 2;
  } else if (n <= 0) {
    return p.size() >= 2 && IsSep(p[1]) ? 1 : 0;
  }
  if (n <= 0) return i;
  int count = 0;
  while (i < p.size()) {
    if (IsSep(p[i])) {
      if (++count == n) return i;
      while (i + 1 < p.size() && IsSep(p[i + 1])) ++i;
    }
    ++i;
  }
  return p.size();
}

template <class C>
int Resolve(C* out, const C* baseIn, const C* relIn, int size, int nProtected) {
  if (size < 1 || !out) return -1;
  std::basic_string<C> base(baseIn ? baseIn : out), rel(relIn ? relIn : out);
  if (!baseIn) base.clear();
  if (!relIn) rel.clear();
  out[0] = 0;
  if (base.size() > 259 || rel.size() > 259) return -1;
  bool drive = rel.size() >= 2 && !IsSep(rel[0]) && rel[1] == ':';
  if ((rel.size() >= 2 && IsSep(rel[0]) && IsSep(rel[1])) || (drive && rel.size() > 2 && IsSep(rel[2])) ||
      (drive && (base.size() < 2 || FoldCase(base[0]) != FoldCase(rel[0]) || base[1] != ':'))) {
    return CanonicalizeCopy(out, rel.c_str(), size, (int)rel.size());
  }
  if (drive) rel.erase(0, 2);
  std::basic_string<C> joined;
  size_t prefix;
  if (!rel.empty() && IsSep(rel[0])) {
    bool unc = base.size() >= 2 && IsSep(base[0]) && IsSep(base[1]);
    size_t i = unc ? 2 : (!base.empty() && IsSep(base[0]) ? 1 : 0);
    size_t keep = 0;
    C joinSep = rel[0];
    if (nProtected > 0) {
      int count = 0;
      keep = base.size();
      for (; i < base.size(); ++i) {
        if (!IsSep(base[i])) continue;
        if (++count == nProtected) {
          keep = i;
          if (i + 1 < base.size() && IsSep(base[i + 1])) joinSep = base[i];
          break;
        }
        while (i + 1 < base.size() && IsSep(base[i + 1])) ++i;
      }
    }
    joined = base.substr(0, keep);
    joined += joinSep;
    joined.append(rel, 1, std::basic_string<C>::npos);
    prefix = keep;
  } else {
    C sep = '\\';
    for (C c : base) {
      if (IsSep(c)) sep = c;
    }
    joined = base;
    if (joined.empty() || !IsSep(joined.back())) joined += sep;
    joined += rel;
    prefix = ProtectedEnd(joined, nProtected);
  }
  if ((int)joined.size() > size - 1) return -1;
  for (size_t k = 0; k < prefix; ++k) out[k] = joined[k];
  int n = Canonicalize(out + prefix, joined.c_str() + prefix, size - (int)prefix, (int)(joined.size() - prefix));
  if (n < 0) {
    out[0] = 0;
    return -1;
  }
  return (int)prefix + n;
}

// Runs fn into the string with room for nSize characters; on failure the
// string is empty.
template <class Fn>
int IntoString(CString& str, int nSize, Fn fn) {
  std::string buf((size_t)nSize, '\0');
  int n = fn(&buf[0], nSize);
  str = n < 0 ? "" : buf.c_str();
  return n;
}

}  // namespace

int CanonicalizePath(char* pszOut, const char* pszIn, int nSize) {
  return CanonicalizeCopy(pszOut, pszIn, nSize, pszIn ? Length(pszIn) : 0);
}
int CanonicalizePathW(wchar_t* pszOut, const wchar_t* pszIn, int nSize) {
  return CanonicalizeCopy(pszOut, pszIn, nSize, pszIn ? Length(pszIn) : 0);
}
int CanonicalizePathN(char* pszOut, const char* pszIn, int nSize, int nInLength) {
  return CanonicalizeCopy(pszOut, pszIn, nSize, nInLength);
}
int CanonicalizePathNW(wchar_t* pszOut, const wchar_t* pszIn, int nSize, int nInLength) {
  return CanonicalizeCopy(pszOut, pszIn, nSize, nInLength);
}
int JoinCanonicalPath(char* pszOut, const char* pszBase, int nSize, int nBaseLength, const char* pszRel,
                      int nRelLength) {
  return Join(pszOut, pszBase, nSize, nBaseLength, pszRel, nRelLength);
}
int JoinCanonicalPathW(wchar_t* pszOut, const wchar_t* pszBase, int nSize, int nBaseLength, const wchar_t* pszRel,
                       int nRelLength) {
  return Join(pszOut, pszBase, nSize, nBaseLength, pszRel, nRelLength);
}
int MakeRelativePath(char* pszOut, const char* pszFrom, const char* pszTo, int nSize, int nMinShared) {
  return Relative(pszOut, pszFrom, pszTo, nSize, nMinShared);
}
int MakeRelativePathW(wchar_t* pszOut, const wchar_t* pszFrom, const wchar_t* pszTo, int nSize, int nMinShared) {
  return Relative(pszOut, pszFrom, pszTo, nSize, nMinShared);
}
int ResolveRelativePath(char* pszOut, const char* pszBase, const char* pszRel, int nSize, int nProtected) {
  return Resolve(pszOut, pszBase, pszRel, nSize, nProtected);
}
int ResolveRelativePathW(wchar_t* pszOut, const wchar_t* pszBase, const wchar_t* pszRel, int nSize, int nProtected) {
  return Resolve(pszOut, pszBase, pszRel, nSize, nProtected);
}

int CanonicalizePathStr(CString& str) {
  std::string in(str, (size_t)str.GetLength());
  return IntoString(str, (int)in.size() + 1,
                    [&](char* out, int size) { return CanonicalizePathN(out, in.data(), size, (int)in.size()); });
}
int CanonicalizePathToStr(CString& strOut, const char* pszIn) {
  std::string in(pszIn ? pszIn : "");
  return IntoString(strOut, 516, [&](char* out, int size) { return CanonicalizePath(out, in.c_str(), size); });
}
int CanonicalizePathNToStr(CString& strOut, const char* pszIn, int nInLength) {
  std::string in(pszIn ? pszIn : "", pszIn && nInLength > 0 ? (size_t)nInLength : 0);
  return IntoString(strOut, 516,
                    [&](char* out, int size) { return CanonicalizePathN(out, in.data(), size, (int)in.size()); });
}
int MakeRelativePathStr(CString& strOut, const char* pszFrom, const char* pszTo, int nMinShared) {
  std::string from(pszFrom ? pszFrom : ""), to(pszTo ? pszTo : "");
  return IntoString(strOut, 324, [&](char* out, int size) {
    return MakeRelativePath(out, from.c_str(), to.c_str(), size, nMinShared);
  });
}
int ResolveRelativePathStr(CString& strOut, const char* pszBase, const char* pszRel, int nProtected) {
  std::string base(pszBase ? pszBase : ""), rel(pszRel ? pszRel : "");
  return IntoString(strOut, 324, [&](char* out, int size) {
    return ResolveRelativePath(out, base.c_str(), rel.c_str(), size, nProtected);
  });
}
