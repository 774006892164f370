// Two-pass 6809 assembler. Pass 1 learns the address of every label and
// fixes every size decision (direct or extended, the width of an indexed
// offset); pass 2 repeats the walk with those decisions and emits the bytes.
// A symbol that is not yet known in pass 1 (a forward reference) always gets
// the long form, so the two passes cannot disagree about sizes; a label that
// still moves between the passes is reported as a phase error.
#include "Asm09.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "../opmap09/Opmap09.h"

namespace asm09 {

namespace {

using opmap09::kNone;
using opmap09::OpEntry;
using opmap09::OpKind;

struct AsmError {
  std::string message;
  bool firstPass = false;  // found only in pass 1 (a value pass 1 must know)
};

[[noreturn]] void Fail(const std::string& message) { throw AsmError{message}; }

std::string Hex(int64_t v, int digits = 4) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "$%0*llX", digits,
                static_cast<unsigned long long>(v & (digits <= 2 ? 0xFF : 0xFFFF)));
  return buf;
}

// An address difference as the CPU sees it: modulo 64 KiB, signed.
int64_t Wrap16(int64_t v) { return int64_t(((v & 0xFFFF) ^ 0x8000)) - 0x8000; }

std::string Upper(std::string s) {
  for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool IdentStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '.';
}
bool IdentChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
}

// Skips a character constant starting at s[i] == '\'' ('A' or 'A); returns
// the index after it.
size_t SkipCharConst(const std::string& s, size_t i) {
  ++i;
  if (i < s.size() && s[i] == '\\') ++i;
  if (i < s.size()) ++i;
  if (i < s.size() && s[i] == '\'') ++i;
  return i;
}

// Skips a double-quoted string starting at s[i] == '"'.
size_t SkipString(const std::string& s, size_t i) {
  ++i;
  while (i < s.size() && s[i] != '"') {
    if (s[i] == '\\' && i + 1 < s.size()) ++i;
    ++i;
  }
  return i < s.size() ? i + 1 : i;
}

// Cuts a ';' comment off an operand field, leaving strings and character
// constants alone.
std::string StripComment(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == ';') return s.substr(0, i);
    if (c == '"') {
      i = SkipString(s, i);
    } else if (c == '\'') {
      i = SkipCharConst(s, i);
    } else {
      ++i;
    }
  }
  return s;
}

// Splits at commas outside parentheses, brackets, strings and character
// constants.
std::vector<std::string> SplitTop(const std::string& s) {
  std::vector<std::string> parts;
  int depth = 0;
  size_t start = 0, i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == '"') {
      i = SkipString(s, i);
      continue;
    }
    if (c == '\'') {
      i = SkipCharConst(s, i);
      continue;
    }
    if (c == '(' || c == '[') ++depth;
    if (c == ')' || c == ']') --depth;
    if (c == ',' && depth == 0) {
      parts.push_back(Trim(s.substr(start, i - start)));
      start = i + 1;
    }
    ++i;
  }
  parts.push_back(Trim(s.substr(start)));
  return parts;
}

int Escape(char c) {
  switch (c) {
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case '0': return 0;
    case 'e': return 0x1B;
    default: return static_cast<unsigned char>(c);
  }
}

// Decodes a double-quoted string (with backslash escapes) that makes up the
// whole of s.
std::vector<uint8_t> ParseQuoted(const std::string& s) {
  if (s.size() < 2 || s.front() != '"' || SkipString(s, 0) != s.size() || s.back() != '"')
    Fail("bad string " + s);
  std::vector<uint8_t> out;
  for (size_t i = 1; i + 1 < s.size(); ++i) {
    if (s[i] == '\\' && i + 2 < s.size()) out.push_back(uint8_t(Escape(s[++i])));
    else out.push_back(static_cast<uint8_t>(s[i]));
  }
  return out;
}

struct Value {
  int64_t v = 0;
  bool known = true;
};

struct Symbol {
  int64_t value = 0;
  bool known = true;     // false: defined from an expression not known in pass 1
  bool isSet = false;    // SET symbols may be redefined
  int definedPass = 0;   // the pass that last defined it
};

// Size decisions made in pass 1 and kept for pass 2.
enum Choice : uint8_t {
  kNoChoice = 0,
  kDirect,
  kExtended,
  kOffset5,
  kOffset8,
  kOffset16,
};

class Assembler;

// Recursive-descent expression parser with C precedence.
class ExprParser {
 public:
  ExprParser(Assembler& a, const std::string& s) : a_(a), s_(s) {}
  Value ParseAll() {
    Value v = Or();
    Skip();
    if (p_ != s_.size()) Fail("unexpected '" + s_.substr(p_) + "' in expression");
    return v;
  }

 private:
  void Skip() {
    while (p_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[p_]))) ++p_;
  }
  bool Eat(const char* op) {
    Skip();
    size_t n = std::char_traits<char>::length(op);
    if (s_.compare(p_, n, op) != 0) return false;
    p_ += n;
    return true;
  }
  static Value Combine(Value a, Value b, int64_t v) { return {v, a.known && b.known}; }

  Value Or() {
    Value a = Xor();
    while (Eat("|")) { Value b = Xor(); a = Combine(a, b, a.v | b.v); }
    return a;
  }
  Value Xor() {
    Value a = And();
    while (Eat("^")) { Value b = And(); a = Combine(a, b, a.v ^ b.v); }
    return a;
  }
  Value And() {
    Value a = Shift();
    while (Eat("&")) { Value b = Shift(); a = Combine(a, b, a.v & b.v); }
    return a;
  }
  Value Shift() {
    Value a = Add();
    for (;;) {
      if (Eat("<<")) {
        Value b = Add();
        a = Combine(a, b, (b.v < 0 || b.v > 62) ? 0 : int64_t(uint64_t(a.v) << b.v));
      } else if (Eat(">>")) {
        Value b = Add();
        a = Combine(a, b, (b.v < 0 || b.v > 62) ? (a.v < 0 ? -1 : 0) : a.v >> b.v);
      } else {
        return a;
      }
    }
  }
  Value Add() {
    Value a = Mul();
    for (;;) {
      if (Eat("+")) { Value b = Mul(); a = Combine(a, b, a.v + b.v); }
      else if (Eat("-")) { Value b = Mul(); a = Combine(a, b, a.v - b.v); }
      else return a;
    }
  }
  Value Mul() {
    Value a = Unary();
    for (;;) {
      char op;
      if (Eat("*")) op = '*';
      else if (Eat("/")) op = '/';
      else if (Eat("%")) op = '%';
      else return a;
      Value b = Unary();
      if (op == '*') {
        a = Combine(a, b, a.v * b.v);
      } else if (b.v == 0) {
        if (b.known) Fail("division by zero");
        a = Combine(a, b, 0);
      } else {
        a = Combine(a, b, op == '/' ? a.v / b.v : a.v % b.v);
      }
      // Keep values in a range where nothing overflows.
      if (a.v > (int64_t(1) << 40) || a.v < -(int64_t(1) << 40)) Fail("value too large");
    }
  }
  Value Unary() {
    if (Eat("-")) { Value v = Unary(); return {-v.v, v.known}; }
    if (Eat("+")) return Unary();
    if (Eat("~")) { Value v = Unary(); return {~v.v, v.known}; }
    if (Eat("!")) { Value v = Unary(); return {v.v == 0, v.known}; }
    return Primary();
  }
  Value Primary();

  Assembler& a_;
  const std::string& s_;
  size_t p_ = 0;
};

class Assembler {
 public:
  explicit Assembler(const Options& options) : options_(options) {}

  Result Run(const std::string& source, const std::string& fileName) {
    for (pass_ = 1; pass_ <= 2; ++pass_) {
      pc_ = 0;
      dp_ = 0;
      scope_.clear();
      seq_ = 0;
      ended_ = false;
      depth_ = 0;
      AssembleText(source, fileName);
    }
    for (const auto& [name, sym] : symbols_) result_.symbols[name] = int32_t(sym.value);
    result_.ok = result_.errors.empty();
    return std::move(result_);
  }

  // Expression support.
  Value LookUp(const std::string& rawName) {
    std::string name = Qualify(rawName);
    auto it = symbols_.find(name);
    if (pass_ == 1) {
      if (it == symbols_.end() || it->second.definedPass != 1 || !it->second.known)
        return {0, false};
      return {it->second.value, true};
    }
    if (it == symbols_.end()) Fail("undefined symbol '" + name + "'");
    if (!it->second.known) Fail("symbol '" + name + "' is used before its value can be known");
    return {it->second.value, true};
  }
  int64_t LineAddress() const { return lineStart_; }

 private:
  // ---- source handling -------------------------------------------------
  void AssembleText(const std::string& text, const std::string& file) {
    std::string saveFile = file_;
    int saveLine = line_;
    file_ = file;
    line_ = 0;
    size_t pos = 0;
    while (pos <= text.size() && !ended_) {
      size_t nl = text.find('\n', pos);
      if (nl == std::string::npos) nl = text.size();
      std::string line = text.substr(pos, nl - pos);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      ++line_;
      if (!(nl == text.size() && line.empty())) DoLine(line);
      pos = nl + 1;
    }
    file_ = saveFile;
    line_ = saveLine;
  }

  void Error(const std::string& message, bool firstPass = false) {
    if (pass_ != 2 && !firstPass) return;
    if (result_.errors.size() >= 500) return;
    result_.errors.push_back({file_, line_, message});
    if (result_.errors.size() == 500)
      result_.errors.push_back({file_, line_, "too many errors; giving up"});
  }

  std::string Qualify(const std::string& name) const {
    return !name.empty() && name[0] == '.' ? scope_ + name : name;
  }

  // ---- symbols -----------------------------------------------------------
  void Define(const std::string& rawName, Value v, bool isSet, bool isAddressLabel) {
    std::string name = Qualify(rawName);
    if (isAddressLabel && rawName[0] != '.') scope_ = name;
    auto it = symbols_.find(name);
    if (it != symbols_.end() && it->second.definedPass == pass_ && !(isSet && it->second.isSet))
      Fail("symbol '" + name + "' defined twice");
    if (it != symbols_.end() && it->second.isSet != isSet && it->second.definedPass == pass_)
      Fail("symbol '" + name + "' defined twice");
    if (pass_ == 2 && !isSet && it != symbols_.end() && it->second.known &&
        it->second.value != v.v) {
      Symbol& s = it->second;
      int64_t old = s.value;
      s = {v.v, true, isSet, pass_};
      Fail("phase error: '" + name + "' was " + Hex(old) + " in pass 1, now " + Hex(v.v));
    }
    symbols_[name] = {v.v, v.known, isSet, pass_};
  }

  // ---- expressions -------------------------------------------------------
  Value Eval(const std::string& s) {
    std::string t = Trim(s);
    if (t.empty()) Fail("missing expression");
    return ExprParser(*this, t).ParseAll();
  }
  // A value every pass must know (sizes and addresses).
  int64_t EvalNow(const std::string& s, const char* what) {
    Value v = Eval(s);
    if (!v.known) throw AsmError{std::string(what) + " must not use a symbol defined later", true};
    return v.v;
  }

  static void CheckRange(int64_t v, int bytes) {
    if (bytes == 1 && (v < -256 || v > 255)) Fail("value " + std::to_string(v) + " does not fit in 8 bits");
    if (bytes == 2 && (v < -65536 || v > 65535))
      Fail("value " + std::to_string(v) + " does not fit in 16 bits");
  }

  // ---- size decisions ----------------------------------------------------
  uint8_t Choose(uint8_t pass1Choice) {
    if (pass_ == 1) {
      if (choices_.size() <= curSeq_) choices_.resize(curSeq_ + 1, kNoChoice);
      choices_[curSeq_] = pass1Choice;
      return pass1Choice;
    }
    if (curSeq_ < choices_.size() && choices_[curSeq_] != kNoChoice) return choices_[curSeq_];
    return pass1Choice;
  }

  // ---- output ------------------------------------------------------------
  void Emit(uint8_t b) { bytes_.push_back(b); }
  void Emit16(int64_t v) {
    Emit(uint8_t(v >> 8));
    Emit(uint8_t(v));
  }
  void EmitOp(uint16_t op) {
    if (op > 0xFF) Emit(uint8_t(op >> 8));
    Emit(uint8_t(op));
  }

  // ---- one line ------------------------------------------------------------
  void DoLine(const std::string& raw) {
    const size_t mySeq = seq_++;
    curSeq_ = mySeq;
    bytes_.clear();
    lineStart_ = pc_;
    listValue_.reset();
    listed_ = false;
    raw_ = &raw;
    bool listAddress = false;
    try {
      // A line that failed in pass 1 for want of a value is not tried
      // again: its error is reported already.
      if (pass_ == 2 && mySeq < firstPassFailed_.size() && firstPassFailed_[mySeq])
        throw AsmError{};
      listAddress = Parse(raw);
    } catch (const AsmError& e) {
      if (!e.message.empty()) Error(e.message, e.firstPass);
      if (pass_ == 1 && e.firstPass) {
        if (firstPassFailed_.size() <= mySeq) firstPassFailed_.resize(mySeq + 1, false);
        firstPassFailed_[mySeq] = true;
      }
      bytes_.clear();
      // Keep the addresses of the lines after an erroneous one where pass 1
      // had them, so one error does not drag a trail of phase errors.
      if (pass_ == 2 && mySeq < pcAfter_.size()) pc_ = pcAfter_[mySeq];
    }
    if (!bytes_.empty()) {
      if (lineStart_ + bytes_.size() > 0x10000) {
        Error("code runs past $FFFF");
        bytes_.clear();
      } else {
        if (pass_ == 2) {
          bool overlapped = false;
          for (size_t i = 0; i < bytes_.size(); ++i) {
            uint32_t a = lineStart_ + uint32_t(i);
            if (result_.written[a] && !overlapped) {
              Error("overwrites bytes already assembled at " + Hex(a));
              overlapped = true;
            }
            result_.image[a] = bytes_[i];
            result_.written[a] = 1;
          }
        }
        pc_ = lineStart_ + uint32_t(bytes_.size());
      }
      listAddress = true;
    }
    if (pass_ == 1) {
      if (pcAfter_.size() <= mySeq) pcAfter_.resize(mySeq + 1, 0);
      pcAfter_[mySeq] = pc_;
    } else if (!listed_) {
      List(raw, listAddress);
    }
  }

  // One line of the listing: address (or value), up to five bytes, source;
  // longer data continues on lines of its own.
  void List(const std::string& raw, bool listAddress) {
    std::string& out = result_.listing;
    const size_t n = bytes_.size();
    size_t i = 0;
    bool first = true;
    do {
      char head[16];
      if (listValue_ && first)
        std::snprintf(head, sizeof head, "=%04X ", unsigned(*listValue_ & 0xFFFF));
      else if (listAddress || n)
        std::snprintf(head, sizeof head, "%04X  ", unsigned((lineStart_ + i) & 0xFFFF));
      else
        std::snprintf(head, sizeof head, "      ");
      std::string hexes;
      for (size_t k = 0; k < 5 && i < n; ++k, ++i) {
        char b[4];
        std::snprintf(b, sizeof b, "%02X ", bytes_[i]);
        hexes += b;
      }
      hexes.resize(16, ' ');
      out += head;
      out += hexes;
      if (first) out += raw;
      while (!out.empty() && out.back() == ' ') out.pop_back();
      out += '\n';
      first = false;
    } while (i < n);
  }

  // Returns whether the listing should show the address.
  bool Parse(const std::string& raw) {
    if (raw.empty() || raw[0] == '*' || raw[0] == ';') return false;
    size_t p = 0;
    std::string label;
    auto skipSpace = [&] {
      while (p < raw.size() && std::isspace(static_cast<unsigned char>(raw[p]))) ++p;
    };
    if (!std::isspace(static_cast<unsigned char>(raw[0]))) {
      if (!IdentStart(raw[0])) Fail("bad label");
      while (p < raw.size() && IdentChar(raw[p])) ++p;
      label = raw.substr(0, p);
      if (p < raw.size() && raw[p] == ':') ++p;
      if (p < raw.size() && !std::isspace(static_cast<unsigned char>(raw[p])) && raw[p] != ';' &&
          raw[p] != '=')
        Fail("bad label");
    }
    skipSpace();
    // An indented "name:" is a label as well, and so is the name of an
    // indented "name = value".
    if (label.empty() && p < raw.size() && IdentStart(raw[p])) {
      size_t q = p;
      while (q < raw.size() && IdentChar(raw[q])) ++q;
      size_t r = q;
      while (r < raw.size() && std::isspace(static_cast<unsigned char>(raw[r]))) ++r;
      if (q < raw.size() && raw[q] == ':') {
        label = raw.substr(p, q - p);
        p = q + 1;
        skipSpace();
      } else if (r < raw.size() && raw[r] == '=') {
        label = raw.substr(p, q - p);
        p = r;
      }
    }
    std::string op;
    if (p < raw.size() && raw[p] == '=') {
      op = "=";
      ++p;
    } else if (p < raw.size() && raw[p] != ';') {
      size_t q = p;
      while (q < raw.size() && !std::isspace(static_cast<unsigned char>(raw[q])) && raw[q] != ';')
        ++q;
      op = Upper(raw.substr(p, q - p));
      p = q;
    }
    std::string rest = raw.substr(p);
    std::string operand = op == "FCC" ? Trim(rest) : Trim(StripComment(rest));

    if (op == "EQU" || op == "=" || op == "SET") {
      if (label.empty()) Fail(op + " needs a label");
      Value v = Eval(operand);
      Define(label, v, op == "SET", false);
      listValue_ = v.v;
      return false;
    }
    if (op == "ORG") {
      int64_t a = EvalNow(operand, "ORG address");
      if (a < 0 || a > 0xFFFF) Fail("ORG address out of range");
      pc_ = uint32_t(a);
      lineStart_ = pc_;
      if (!label.empty()) Define(label, {a, true}, false, true);
      return true;
    }
    if (!label.empty()) Define(label, {pc_, true}, false, true);
    if (op.empty()) return !label.empty();
    if (pc_ > 0xFFFF && op != "END" && op != "SETDP" && op != "INCLUDE") Fail("address beyond $FFFF");
    if (Directive(op, operand)) return true;
    const OpEntry* e = opmap09::Find(op);
    if (!e) Fail("unknown mnemonic '" + op + "'");
    Instruction(*e, operand);
    return true;
  }

  // ---- directives ----------------------------------------------------------
  bool Directive(const std::string& op, const std::string& operand) {
    if (op == "FCB" || op == "FDB") {
      int width = op == "FCB" ? 1 : 2;
      for (const std::string& item : SplitTop(operand)) {
        if (item.empty()) Fail("missing value in " + op);
        if (item[0] == '"' && width == 1) {
          for (uint8_t b : ParseQuoted(item)) Emit(b);
          continue;
        }
        // 'abc' is a string of bytes; a character constant such as 'A' or
        // '\\' is one value.
        if (item[0] == '\'' && width == 1 && item.size() > 3 && item.back() == '\'' &&
            SkipCharConst(item, 0) != item.size()) {
          for (size_t i = 1; i + 1 < item.size(); ++i) Emit(uint8_t(item[i]));
          continue;
        }
        Value v = Eval(item);
        CheckRange(v.v, width);
        if (width == 1) Emit(uint8_t(v.v));
        else Emit16(v.v);
      }
      return true;
    }
    if (op == "FCC") {
      std::string s = operand;
      if (s.empty()) Fail("FCC needs a string");
      if (s[0] == '"') {
        size_t end = SkipString(s, 0);
        if (end > s.size() || s[end - 1] != '"' || end == 1) Fail("unterminated string");
        for (uint8_t b : ParseQuoted(s.substr(0, end))) Emit(b);
        CheckTail(s.substr(end));
      } else {
        char d = s[0];
        size_t end = s.find(d, 1);
        if (end == std::string::npos) Fail("unterminated string");
        for (size_t i = 1; i < end; ++i) Emit(static_cast<uint8_t>(s[i]));
        CheckTail(s.substr(end + 1));
      }
      return true;
    }
    if (op == "RMB") {
      int64_t n = EvalNow(operand, "RMB count");
      if (n < 0 || pc_ + n > 0x10000) Fail("RMB count out of range");
      pc_ += uint32_t(n);
      return true;
    }
    if (op == "FILL") {
      auto parts = SplitTop(operand);
      if (parts.size() != 2) Fail("FILL needs count,byte");
      int64_t n = EvalNow(parts[0], "FILL count");
      if (n < 0 || pc_ + n > 0x10000) Fail("FILL count out of range");
      Value b = Eval(parts[1]);
      CheckRange(b.v, 1);
      bytes_.assign(size_t(n), uint8_t(b.v));
      return true;
    }
    if (op == "ALIGN") {
      auto parts = SplitTop(operand);
      if (parts.size() > 2) Fail("ALIGN needs n or n,byte");
      int64_t n = EvalNow(parts[0], "ALIGN boundary");
      if (n < 1 || n > 0x10000) Fail("ALIGN boundary out of range");
      uint32_t pad = uint32_t((n - pc_ % n) % n);
      if (pc_ + pad > 0x10000) Fail("ALIGN runs past $FFFF");
      if (parts.size() == 2) {
        Value b = Eval(parts[1]);
        CheckRange(b.v, 1);
        bytes_.assign(pad, uint8_t(b.v));
      } else {
        pc_ += pad;
      }
      return true;
    }
    if (op == "SETDP") {
      int64_t v = EvalNow(operand, "SETDP page");
      if (v == -1) dp_ = -1;  // no page assumed: only '<' gives direct
      else if (v >= 0 && v <= 0xFF) dp_ = int(v);
      else if (v > 0xFF && v <= 0xFFFF && (v & 0xFF) == 0) dp_ = int(v >> 8);
      else Fail("SETDP page out of range");
      return true;
    }
    if (op == "END") {
      if (!operand.empty()) Eval(operand);
      ended_ = true;
      return true;
    }
    if (op == "INCLUDE" || op == "INCLUDEBIN") {
      std::string name = FileName(operand);
      std::string path = Resolve(name);
      if (path.empty()) Fail("cannot open '" + name + "'");
      const std::string& data = ReadCached(path);
      if (op == "INCLUDEBIN") {
        if (pc_ + data.size() > 0x10000) Fail("INCLUDEBIN runs past $FFFF");
        bytes_.assign(data.begin(), data.end());
        return true;
      }
      if (depth_ >= 16) Fail("INCLUDE nested too deeply");
      // The INCLUDE line is listed before the lines it brings in.
      if (pass_ == 2) List(*raw_, false);
      ++depth_;
      AssembleText(data, path);
      --depth_;
      listed_ = true;
      bytes_.clear();
      lineStart_ = pc_;
      return true;
    }
    return false;
  }

  static void CheckTail(const std::string& tail) {
    if (!Trim(StripComment(tail)).empty()) Fail("unexpected text after string");
  }

  static std::string FileName(const std::string& operand) {
    std::string s = Trim(operand);
    if (s.size() >= 2 && (s[0] == '"' || s[0] == '\'') && s.back() == s[0])
      return s.substr(1, s.size() - 2);
    if (s.empty()) Fail("missing file name");
    return s;
  }

  std::string Resolve(const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path p(name);
    std::vector<fs::path> candidates;
    if (p.is_absolute()) {
      candidates.push_back(p);
    } else {
      candidates.push_back(fs::path(file_).parent_path() / p);
      for (const std::string& d : options_.includeDirs) candidates.push_back(fs::path(d) / p);
    }
    for (const fs::path& c : candidates)
      if (fs::is_regular_file(c, ec)) return c.lexically_normal().string();
    return {};
  }

  const std::string& ReadCached(const std::string& path) {
    auto it = files_.find(path);
    if (it != files_.end()) return it->second;
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("cannot open '" + path + "'");
    std::ostringstream ss;
    ss << in.rdbuf();
    return files_[path] = ss.str();
  }

  // ---- instructions --------------------------------------------------------
  void Instruction(const OpEntry& e, const std::string& operand) {
    switch (e.kind) {
      case OpKind::Inherent:
        if (!operand.empty()) Fail(std::string(e.name) + " takes no operand");
        EmitOp(e.inh);
        return;
      case OpKind::Relative8:
      case OpKind::Relative16: {
        Value t = Eval(operand);
        CheckRange(t.v, 2);
        int len = opmap09::OpcodeBytes(e.inh) + (e.kind == OpKind::Relative8 ? 1 : 2);
        // Memory wraps at $FFFF, and so do branches.
        int64_t off = Wrap16(t.v - (int64_t(pc_) + len));
        EmitOp(e.inh);
        if (e.kind == OpKind::Relative8) {
          if (t.known && (off < -128 || off > 127))
            Fail("branch out of range (offset " + std::to_string(off) + ")");
          Emit(uint8_t(off));
        } else {
          // A long branch reaches every address: the offset wraps at 16 bits.
          Emit16(off);
        }
        return;
      }
      case OpKind::RegList:
        EmitOp(e.inh);
        Emit(RegList(operand, e.name[3] == 'S'));
        return;
      case OpKind::RegPair:
        EmitOp(e.inh);
        Emit(RegPair(operand));
        return;
      case OpKind::Memory:
        Memory(e, operand);
        return;
    }
  }

  uint8_t RegList(const std::string& operand, bool systemStack) {
    if (!operand.empty() && operand[0] == '#') {
      Value v = Eval(operand.substr(1));
      if (v.v < 0 || v.v > 255) Fail("register mask out of range");
      return uint8_t(v.v);
    }
    if (operand.empty()) Fail("missing register list");
    uint8_t mask = 0;
    for (const std::string& item : SplitTop(operand)) {
      std::string r = Upper(item);
      uint8_t bit = 0;
      if (r == "PC") bit = 0x80;
      else if (r == "U") bit = systemStack ? 0x40 : 0;
      else if (r == "S") bit = systemStack ? 0 : 0x40;
      else if (r == "Y") bit = 0x20;
      else if (r == "X") bit = 0x10;
      else if (r == "DP") bit = 0x08;
      else if (r == "B") bit = 0x04;
      else if (r == "A") bit = 0x02;
      else if (r == "CC") bit = 0x01;
      else if (r == "D") bit = 0x06;
      else Fail("bad register '" + item + "' in list");
      if (bit == 0) Fail("a stack cannot push or pull its own pointer");
      if (mask & bit) Fail("register '" + item + "' listed twice");
      mask |= bit;
    }
    return mask;
  }

  static int RegCode(const std::string& name) {
    static const char* const kNames[] = {"D", "X", "Y", "U", "S", "PC", nullptr, nullptr,
                                         "A", "B", "CC", "DP"};
    std::string r = Upper(Trim(name));
    for (int i = 0; i < 12; ++i)
      if (kNames[i] && r == kNames[i]) return i;
    Fail("bad register '" + Trim(name) + "'");
  }

  static uint8_t RegPair(const std::string& operand) {
    auto parts = SplitTop(operand);
    if (parts.size() != 2) Fail("needs two registers");
    int a = RegCode(parts[0]), b = RegCode(parts[1]);
    if ((a < 8) != (b < 8)) Fail("registers of different sizes");
    return uint8_t(a << 4 | b);
  }

  void Memory(const OpEntry& e, const std::string& operandIn) {
    std::string operand = operandIn;
    const std::string name(e.name);
    if (operand.empty()) Fail(name + " needs an operand");
    int opBytes = 0;
    auto need = [&](uint16_t op, const char* mode) {
      if (op == kNone) Fail(std::string(mode) + " addressing is not available for " + name);
      opBytes = opmap09::OpcodeBytes(op);
      return op;
    };
    if (operand[0] == '#') {
      uint16_t op = need(e.imm, "immediate");
      Value v = Eval(operand.substr(1));
      CheckRange(v.v, e.immBytes);
      EmitOp(op);
      if (e.immBytes == 1) Emit(uint8_t(v.v));
      else Emit16(v.v);
      return;
    }
    bool indirect = false;
    if (operand[0] == '[') {
      if (operand.back() != ']') Fail("missing ']'");
      indirect = true;
      operand = Trim(operand.substr(1, operand.size() - 2));
      if (operand.empty()) Fail("empty brackets");
    }
    auto parts = SplitTop(operand);
    if (parts.size() > 2) Fail("bad operand");
    if (indirect || parts.size() == 2) {
      uint16_t op = need(e.idx, "indexed");
      EmitOp(op);
      Indexed(parts, indirect, opBytes);
      return;
    }
    char force = 0;
    std::string expr = operand;
    if (expr[0] == '<' || expr[0] == '>') {
      force = expr[0];
      expr = expr.substr(1);
    }
    Value v = Eval(expr);
    uint8_t choice;
    if (force == '<') {
      choice = kDirect;
    } else if (force == '>') {
      choice = kExtended;
    } else {
      bool direct = e.dir != kNone && v.known && ((v.v & 0xFFFF) >> 8) == dp_ && v.v >= -0x8000 &&
                    v.v <= 0xFFFF;
      choice = Choose(direct ? kDirect : kExtended);
    }
    if (choice == kDirect) {
      uint16_t op = need(e.dir, "direct");
      if (v.v < 0 || (v.v > 0xFF && (v.v >> 8) != dp_))
        Fail("address " + Hex(v.v) + " is not in the direct page" +
             (dp_ >= 0 ? " " + Hex(dp_, 2) : std::string()));
      EmitOp(op);
      Emit(uint8_t(v.v));
    } else {
      if (e.ext == kNone && e.idx != kNone) Fail(name + " needs an indexed operand");
      uint16_t op = need(e.ext, "extended");
      CheckRange(v.v, 2);
      EmitOp(op);
      Emit16(v.v);
    }
  }

  void Indexed(const std::vector<std::string>& parts, bool indirect, int opBytes) {
    const uint8_t ind = indirect ? 0x10 : 0;
    if (parts.size() == 1) {
      if (!indirect) Fail("bad operand");
      // Extended indirect: [address].
      std::string expr = parts[0];
      if (!expr.empty() && expr[0] == '>') expr = expr.substr(1);
      Value v = Eval(expr);
      CheckRange(v.v, 2);
      Emit(0x9F);
      Emit16(v.v);
      return;
    }
    std::string left = parts[0];
    std::string right = Upper(parts[1]);
    int pre = 0, post = 0;
    while (!right.empty() && right.front() == '-') { ++pre; right.erase(0, 1); }
    while (!right.empty() && right.back() == '+') { ++post; right.pop_back(); }
    right = Trim(right);
    bool pcr = right == "PCR" || right == "PC";
    uint8_t rr;
    if (right == "X") rr = 0x00;
    else if (right == "Y") rr = 0x20;
    else if (right == "U") rr = 0x40;
    else if (right == "S") rr = 0x60;
    else if (pcr) rr = 0;
    else Fail("bad index register '" + parts[1] + "'");
    if (pre || post) {
      if (!left.empty() || pcr || (pre && post) || pre > 2 || post > 2)
        Fail("bad auto increment or decrement");
      if (indirect && (pre == 1 || post == 1))
        Fail("no indirect form of single increment or decrement");
      uint8_t form = post == 1 ? 0x80 : post == 2 ? 0x81 : pre == 1 ? 0x82 : 0x83;
      Emit(form | rr | ind);
      return;
    }
    std::string l = Upper(left);
    if (!pcr) {
      if (left.empty()) { Emit(0x84 | rr | ind); return; }
      if (l == "A") { Emit(0x86 | rr | ind); return; }
      if (l == "B") { Emit(0x85 | rr | ind); return; }
      if (l == "D") { Emit(0x8B | rr | ind); return; }
    }
    if (pcr && left.empty()) {  // ,PCR: no offset
      Emit(0x8C | ind);
      Emit(0);
      return;
    }
    char force = 0;
    if (!left.empty() && (left[0] == '<' || left[0] == '>')) {
      force = left[0];
      left = left.substr(1);
    }
    Value v = left.empty() ? Value{0, true} : Eval(left);
    if (pcr) {
      // The offset counts from the address after the whole instruction.
      int64_t after8 = int64_t(lineStart_) + opBytes + 2;
      int64_t after16 = after8 + 1;
      uint8_t choice;
      if (force == '<') choice = kOffset8;
      else if (force == '>') choice = kOffset16;
      else {
        int64_t off = Wrap16(v.v - after8);
        choice = Choose(v.known && off >= -128 && off <= 127 ? kOffset8 : kOffset16);
      }
      CheckRange(v.v, 2);
      if (choice == kOffset8) {
        int64_t off = Wrap16(v.v - after8);
        if (v.known && (off < -128 || off > 127))
          Fail("PC-relative offset out of range (" + std::to_string(off) + ")");
        Emit(0x8C | ind);
        Emit(uint8_t(off));
      } else {
        Emit(0x8D | ind);
        Emit16(v.v - after16);
      }
      return;
    }
    uint8_t choice;
    if (force == '<') choice = kOffset8;
    else if (force == '>') choice = kOffset16;
    else {
      uint8_t c = kOffset16;
      if (v.known && !indirect && v.v >= -16 && v.v <= 15) c = kOffset5;
      else if (v.known && v.v >= -128 && v.v <= 127) c = kOffset8;
      choice = Choose(c);
    }
    if (choice == kOffset5) {
      if (v.v < -16 || v.v > 15) Fail("offset " + std::to_string(v.v) + " does not fit in 5 bits");
      Emit(rr | uint8_t(v.v & 0x1F));
    } else if (choice == kOffset8) {
      if (v.v < -128 || v.v > 127) Fail("offset " + std::to_string(v.v) + " does not fit in 8 bits");
      Emit(0x88 | rr | ind);
      Emit(uint8_t(v.v));
    } else {
      if (v.v < -32768 || v.v > 65535) Fail("offset " + std::to_string(v.v) + " does not fit in 16 bits");
      Emit(0x89 | rr | ind);
      Emit16(v.v);
    }
  }

  const Options& options_;
  Result result_;
  std::map<std::string, Symbol> symbols_;
  std::map<std::string, std::string> files_;
  std::vector<uint8_t> choices_;   // per line, from pass 1
  std::vector<uint32_t> pcAfter_;  // address after each line in pass 1
  std::vector<bool> firstPassFailed_;  // lines with an error only pass 1 sees
  std::vector<uint8_t> bytes_;     // bytes of the current line
  std::optional<int64_t> listValue_;
  const std::string* raw_ = nullptr;  // the line being assembled
  bool listed_ = false;
  size_t curSeq_ = 0;
  std::string file_;
  std::string scope_;
  int line_ = 0;
  int pass_ = 1;
  uint32_t pc_ = 0;
  uint32_t lineStart_ = 0;
  int dp_ = 0;
  size_t seq_ = 0;
  int depth_ = 0;
  bool ended_ = false;
};

Value ExprParser::Primary() {
  Skip();
  if (p_ >= s_.size()) Fail("missing value in expression");
  char c = s_[p_];
  auto digitsOf = [&](int base) {
    size_t start = p_;
    int64_t v = 0;
    while (p_ < s_.size()) {
      char d = char(std::tolower(static_cast<unsigned char>(s_[p_])));
      int dv;
      if (d >= '0' && d <= '9') dv = d - '0';
      else if (d >= 'a' && d <= 'z') dv = d - 'a' + 10;
      else if (d == '_') { ++p_; continue; }
      else break;
      if (dv >= base) Fail("bad digit in number");
      v = v * base + dv;
      if (v > 0xFFFFFFFFLL) Fail("number too large");
      ++p_;
    }
    if (p_ == start) Fail("missing digits in number");
    return Value{v, true};
  };
  if (c == '(') {
    ++p_;
    Value v = Or();
    Skip();
    if (p_ >= s_.size() || s_[p_] != ')') Fail("missing ')'");
    ++p_;
    return v;
  }
  if (c == '$') { ++p_; return digitsOf(16); }
  if (c == '%') { ++p_; return digitsOf(2); }
  if (c == '0' && p_ + 1 < s_.size() && (s_[p_ + 1] == 'x' || s_[p_ + 1] == 'X')) {
    p_ += 2;
    return digitsOf(16);
  }
  if (c == '0' && p_ + 1 < s_.size() && (s_[p_ + 1] == 'b' || s_[p_ + 1] == 'B') &&
      p_ + 2 < s_.size() && (s_[p_ + 2] == '0' || s_[p_ + 2] == '1')) {
    p_ += 2;
    return digitsOf(2);
  }
  if (std::isdigit(static_cast<unsigned char>(c))) return digitsOf(10);
  if (c == '\'') {
    size_t end = SkipCharConst(s_, p_);
    if (end == p_ + 1) Fail("empty character constant");
    int v = s_[p_ + 1] == '\\' && p_ + 2 < s_.size() ? Escape(s_[p_ + 2])
                                                      : static_cast<unsigned char>(s_[p_ + 1]);
    p_ = end;
    return {v, true};
  }
  if (c == '*') {
    ++p_;
    return {a_.LineAddress(), true};
  }
  if (IdentStart(c)) {
    size_t start = p_;
    while (p_ < s_.size() && IdentChar(s_[p_])) ++p_;
    return a_.LookUp(s_.substr(start, p_ - start));
  }
  Fail(std::string("unexpected '") + c + "' in expression");
}

}  // namespace

std::vector<uint8_t> Result::Bytes(uint32_t from, uint32_t to, uint8_t fill) const {
  std::vector<uint8_t> out;
  if (to > 0x10000) to = 0x10000;
  for (uint32_t a = from; a < to; ++a) out.push_back(written[a] ? image[a] : fill);
  return out;
}

void Result::CopyTo(uint8_t* memory64k) const {
  for (uint32_t a = 0; a < 0x10000; ++a)
    if (written[a]) memory64k[a] = image[a];
}

std::string Result::ErrorText() const {
  std::string out;
  for (const Diagnostic& d : errors)
    out += d.file + ":" + std::to_string(d.line) + ": " + d.message + "\n";
  return out;
}

std::string Result::SymbolText() const {
  std::string out;
  for (const auto& [name, value] : symbols) {
    if (name.find('.') != std::string::npos) continue;
    char buf[32];
    std::snprintf(buf, sizeof buf, " EQU $%04X\n", unsigned(value) & 0xFFFF);
    out += name + buf;
  }
  return out;
}

int32_t Result::Symbol(const std::string& name) const {
  auto it = symbols.find(name);
  return it == symbols.end() ? -1 : it->second;
}

Result AssembleString(const std::string& source, const std::string& fileName,
                      const Options& options) {
  Assembler a(options);
  return a.Run(source, fileName);
}

Result AssembleFile(const std::string& path, const Options& options) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Result r;
    r.errors.push_back({path, 0, "cannot open file"});
    return r;
  }
  std::ostringstream ss;
  ss << in.rdbuf();
  return AssembleString(ss.str(), path, options);
}

}  // namespace asm09
