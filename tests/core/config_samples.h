#pragma once
// Configuration texts shared by the loader and report tests. Each shows one layout rule.

#include <string>
#include <string_view>
#include <vector>

#include "config/config_scan.h"

// What the scanner loads from the content.
inline std::vector<Achievement> Scan(std::string_view content) {
    std::vector<Achievement> records;
    ScanAchievements(content, records);
    return records;
}

namespace samples {

inline constexpr std::string_view WORKED_EXAMPLE = R"({
    "achievements": [
        {
            "id": "first_note",
            "title": "Note Taker",
            "description": "Open a text editor for the first time.",
            "trigger_description": "Run notepad.exe",
            "trigger_value": "notepad.exe",
            "trigger_type": "process_name"
        },
        {
            "id": "calc_window",
            "title": "Number Cruncher",
            "description": "Bring up a calculator window.",
            "trigger_description": "A window with Calculator in its title is visible",
            "trigger_value": "Calculator",
            "trigger_type": "window_title"
        }
    ]
}
)";

inline constexpr std::string_view COMPACT_ONE_LINE =
    R"({"achievements":[{"id":"a","title":"A","trigger_value":"x.exe","trigger_type":"process_name"}]})";

inline constexpr std::string_view MARKER_WITH_BLANKS =
    "{\n\t\"achievements\" \t:  \t[\n{\n\"id\": \"a\"\n}\n]\n";
inline constexpr std::string_view MARKER_SPLIT =
    "{\n\"achievements\":\n[\n{\n\"id\": \"a\"\n}\n]\n";
inline constexpr std::string_view MARKER_OTHER_CASE =
    "{\n\"Achievements\": [\n{\n\"id\": \"a\"\n}\n]\n";

// Braces and brackets before the marker are ignored; the '{' on the marker line is not seen.
inline constexpr std::string_view BRACE_ON_MARKER_LINE = R"(x ] { ]
"achievements": [ {
    "id": "lost",
    "title": "Lost"
  },
  {
    "id": "kept"
  }
])";

inline constexpr std::string_view OPENING_AND_CLOSING_LINES = R"("achievements": [
  { "id": "on_opening_line",
    "title": "T1"
  },
  {
    "id": "b",
    "title": "T2" },
  {
    "id" : "spaced",
    "title": "T3"
  },
  {
    "id": 42,
    "title": "T4"
  },
  {
    "id": "",
    "title": "T5"
  },
  {
    "title": "T6"
  },
  {
    "id": "no_title"
  }
])";

inline constexpr std::string_view KEY_ORDER = R"("achievements": [
  {
    "title": "T", "id": "a",
    "trigger_type": "process_name", "trigger_value": "v.exe",
    "description": "D"
  },
  {
    "id": "b",
    "title": "First",
    "title": "Second",
    "title": "",
    "trigger_type": "window_title",
    "trigger_type": "Window_Title"
  },
  {
    "id": "c",
    "trigger_type": "process_name ",
    "description": "spaces  inside\tvalues  kept"
  },
  {
    "id": "d",
    "trigger_type": "process_name"
  },
  {
    "id": "e",
    "trigger_type": "window_titles"
  }
])";

// Escapes stay as written; a value without its closing quote runs to the line's end.
inline constexpr std::string_view VALUES =
    "\"achievements\": [\r\n"
    "  {\r\n"
    "    \"id\": \"q\\\"uoted\", \"title\": \"ignored\"\r\n"
    "    \"title\": \"open ended\r\n"
    "    \"description\": \"a\\\\b\\n\\u00e9 \xe4\xbd\xa0\xe5\xa5\xbd\"\r\n"
    "    \"trigger_value\": \"bad \xff\xfe utf8\"\r\n"
    "    \"trigger_description\":\t \"tab\"\r\n"
    "    \"trigger_type\": \"trailing\\\r\n"
    "  }\r\n"
    "]\r\n";

inline constexpr std::string_view BRACE_IN_VALUE = R"("achievements": [
  {
    "id": "a",
    "title": "Curly } title",
    "description": "lost"
  },
  {
    "description": "D",
    "title": "closes {here}", "id": "b",
    "trigger_value": "lost"
  }
])";

inline constexpr std::string_view BRACKET_IN_VALUE = R"("achievements": [
  {
    "id": "a"
  },
  {
    "id": "b",
    "title": "[Beta] Tester"
  },
  {
    "id": "c"
  }
])";

inline constexpr std::string_view BRACKET_ON_CLOSING_LINE = R"("achievements": [
  {
    "id": "a",
    "title": "A" } ]
  {
    "id": "never"
  }
)";

inline constexpr std::string_view NESTED_OBJECT = R"("achievements": [
  {
    "id": "outer",
    "extra": {
      "title": "Inner"
    },
    "description": "lost"
  },
  {
    "id": "next"
  }
])";

inline constexpr std::string_view SHARED_BRACE_LINE = R"("achievements": [
  {
    "id": "a"
  }, {
    "id": "lost"
  },
  {
    "id": "c"
  }
])";

inline constexpr std::string_view BETWEEN_ENTRIES = R"("achievements": [
  {
    "id": "a"
  },
  "id": "between",
  {
    "id": "b"
  }
)";

inline constexpr std::string_view OPEN_AT_END = R"("achievements": [
  {
    "id": "a"
  },
  {
    "id": "open")";

inline constexpr std::string_view DUPLICATE_IDS = R"("achievements": [
  {
    "id": "same",
    "title": "One"
  },
  {
    "id": "same",
    "title": "Two"
  }
])";

// Every configuration above, for tests that must hold on all of them.
inline std::vector<std::string_view> All() {
    return {WORKED_EXAMPLE,
            COMPACT_ONE_LINE,
            MARKER_WITH_BLANKS,
            MARKER_SPLIT,
            MARKER_OTHER_CASE,
            BRACE_ON_MARKER_LINE,
            OPENING_AND_CLOSING_LINES,
            KEY_ORDER,
            VALUES,
            BRACE_IN_VALUE,
            BRACKET_IN_VALUE,
            BRACKET_ON_CLOSING_LINE,
            NESTED_OBJECT,
            SHARED_BRACE_LINE,
            BETWEEN_ENTRIES,
            OPEN_AT_END,
            DUPLICATE_IDS};
}

}  // namespace samples
