// Feeds arbitrary bytes to the button-file reader as a whole file: the archive, its manifest
// and the state pictures it names, which are then scaled as a button of another size draws them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_scratch_file.h"
#include "view/buttons/kx_button.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchPath("vx_fuzz_button_file", ".btn");
    if (!WriteScratch(path, data, size)) return 0;
    CKXButton button;
    if (!button.LoadButtonFile(path)) return 0;
    for (int state = 0; state < 4; ++state) button.GetStatePicture(state, 37, 19);
    return 0;
}
