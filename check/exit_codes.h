#pragma once
// The exit codes of laurelight-check; 0 is success.

inline constexpr int EXIT_LOAD_FAILED = 1;         // the configuration did not load
inline constexpr int EXIT_NO_SUCH_PENDING_ID = 2;  // --unlock: no pending achievement has the id
inline constexpr int EXIT_FINDINGS = 3;            // --strict and there were findings
inline constexpr int EXIT_CANNOT_WRITE = 4;        // --output or --write could not write
inline constexpr int EXIT_NOT_JSON = 5;            // --format: the file is not JSON
inline constexpr int EXIT_VALUES_LOST = 6;         // --format: some values cannot be carried
inline constexpr int EXIT_NOT_SAVED = 7;           // --unlock: the progress could not be saved
inline constexpr int EXIT_NO_ANSWER = 8;           // --unlock: the running program did not answer
inline constexpr int EXIT_UNKNOWN_REPLY = 9;  // --unlock: the running program's reply is unreadable
// --add, --edit, --remove: the edit is refused and adv.json left as it is.
inline constexpr int EXIT_NO_LIST = 10;       // no "achievements": [ line, or no line ending it
inline constexpr int EXIT_LAYOUT = 11;        // the entry is not laid out so it can be changed
inline constexpr int EXIT_NO_SUCH_ID = 12;    // no achievement has the id
inline constexpr int EXIT_DUPLICATE_ID = 13;  // --add: the id is taken; else it is not unique
inline constexpr int EXIT_BAD_VALUE = 14;     // a value cannot be written or would not work
inline constexpr int EXIT_USAGE = 64;         // the command line was not understood
