// A two-pass assembler for the Motorola 6809 in Motorola syntax. It builds
// the machine's firmware images and the small programs the tests run on the
// CPU core. The whole published instruction set with every addressing mode,
// the usual directives, local labels and C-like expressions.
//
// The result is a 64 KiB picture of memory with a mask of the bytes the
// program wrote, the symbol table, a listing and the errors, each with the
// file and line it belongs to.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace asm09 {

struct Diagnostic {
  std::string file;
  int line = 0;
  std::string message;
};

struct Result {
  bool ok = false;
  std::vector<Diagnostic> errors;
  std::vector<uint8_t> image = std::vector<uint8_t>(0x10000, 0);    // 64 KiB of memory
  std::vector<uint8_t> written = std::vector<uint8_t>(0x10000, 0);  // 1 where the program wrote
  std::map<std::string, int32_t> symbols;  // locals as "Global.local"
  std::string listing;

  // The bytes of [from, to) (to up to 0x10000), unwritten bytes as fill.
  std::vector<uint8_t> Bytes(uint32_t from, uint32_t to, uint8_t fill = 0xFF) const;
  // Copies the written bytes into a 64 KiB memory (a core's bank), leaving
  // every other byte as it was.
  void CopyTo(uint8_t* memory64k) const;
  // Every error as "file:line: message", one a line.
  std::string ErrorText() const;
  // The global symbols as "name EQU $XXXX" lines, sorted by name; the
  // file can itself be INCLUDEd.
  std::string SymbolText() const;
  // Value of a symbol, or -1 if it is not defined.
  int32_t Symbol(const std::string& name) const;
};

struct Options {
  std::vector<std::string> includeDirs;  // searched after the including file's folder
};

// Assembles source text; fileName names it in errors and is the base for
// relative INCLUDE paths (its folder is searched first).
Result AssembleString(const std::string& source, const std::string& fileName = "<source>",
                      const Options& options = {});
// Assembles a file.
Result AssembleFile(const std::string& path, const Options& options = {});

}  // namespace asm09
