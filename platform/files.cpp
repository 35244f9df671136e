// The part of the file seam that the standard streams already make portable.

#include <fstream>

#include "platform/files.h"

namespace platform {

// istream::read turns a failing read (a directory, on some systems) into a state bit
// instead of throwing.
std::string ReadFileBytes(const std::u16string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    std::string bytes;
    char chunk[4096];
    while (in) {
        in.read(chunk, sizeof chunk);
        bytes.append(chunk, static_cast<size_t>(in.gcount()));
    }
    return bytes;
}

}  // namespace platform
