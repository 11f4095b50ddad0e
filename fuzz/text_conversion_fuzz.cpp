// Text from edit fields, the clipboard and file dialogs: any bytes must convert without fault,
// and whatever the code page can hold must come back unchanged; clipboard text pasted into a
// phonetic run gives bytes that read back as the same run.
#include "labels/ipa93.h"
#include "platform/cp1252.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string bytes = platform::Utf8ToCp1252(input);
    if (platform::Utf8ToCp1252(platform::Cp1252ToUtf8(bytes)) != bytes)
        std::abort();
    std::u16string wide(size / 2, u'\0');
    std::memcpy(wide.data(), data, wide.size() * sizeof(char16_t));
    if (platform::Utf16ToCp1252(platform::Cp1252ToUtf16(input)) != std::string(input))
        std::abort();
    (void)platform::Utf16ToCp1252(wide);
    const std::string phonetic = tarvo::Ipa93FromUnicode(input);
    std::string reads;
    tarvo::AppendIpa93Text(phonetic.data(), phonetic.size(), reads);
    if (tarvo::Ipa93FromUnicode(reads) != phonetic)
        std::abort();
    return 0;
}
