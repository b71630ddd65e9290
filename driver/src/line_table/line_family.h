// The line family: the line table and the dispatch of every per-line call to the
// sub-driver that carries the line.
#pragma once

#include "linkor.h"

#include <cstdint>

namespace linkor::lines {

constexpr int kLineCount = 255;
constexpr int kMaxOpenLines = 10;

enum Kind : int { kNotInitialised = 0, kKv = 1, kJbus = 2, kSorncom = 3 };

int32_t open(const char* port);
int32_t init(int32_t line, const char* baud, const char* protocol, const char* initial);
int32_t dialogue(int32_t line, const char* command, char* reply);
int32_t dialogueEx(int32_t line, const char* command, char* reply, int32_t* moduleStatus);
int32_t close(int32_t line);
int32_t suspend(int32_t line);
int32_t resume(int32_t line);
int32_t initBreak(int32_t line, LinkorBreakNotify notify, char** result, int32_t waitMs);
int32_t startBreak(int32_t line, int32_t count, int32_t bits);
int32_t stopBreak(int32_t line);
int32_t changeBaud(int32_t line, const char* baud);
int32_t setPriority(int32_t line, const char* priority);
int32_t setSyntax(int32_t line, const char* syntax);

int32_t identity(char* out);
int32_t ports(char* out);
int32_t types(char* out);
int32_t protocols(char* out, const char* type);
int32_t bauds(char* out, const char* type, const char* protocol);
int32_t message(char* out, int32_t code);
int32_t setLanguage(const char* language);

/// Kind of a line (for tests and the start-up script); -1 when the line is free.
int kindOf(int32_t line);

} // namespace linkor::lines
