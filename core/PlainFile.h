// Opening a file that must be a plain file (firmware images, disk and tape
// images, the settings file) without ever blocking: a FIFO or a device in
// its place would otherwise hold the program in open() or read() for ever.
#pragma once

#include <string>

#include <sys/types.h>

// The reason a file was refused: an errno value from open() or fstat(), or
// NotPlainFile for a directory, FIFO, device or socket.
inline constexpr int NotPlainFile = -1;

// Opens path with flags (O_CLOEXEC and O_NOCTTY are added; O_CREAT takes
// mode) without waiting for a writer or a device, then keeps the descriptor
// only if it names a plain file; the descriptor then blocks as usual.
// Returns the descriptor, or -1 with the reason in *why (when given).
int OpenPlainFile(const std::string& path, int flags, int* why = nullptr, mode_t mode = 0666);

// The reason in words for a message: "no such file", "not a plain file",
// "no permission", or the system's description of other errors.
std::string OpenFailureText(int why);
