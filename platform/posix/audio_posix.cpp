// Native builds play no sound.

#include "platform/audio.h"

namespace platform {

void PlayWaveFileAsync(const std::u16string&) {}
unsigned SendMciCommand(const std::u16string&, std::u16string*) {
    return 263;
}
void DefaultBeep() {}

}  // namespace platform
