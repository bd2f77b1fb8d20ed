#include "support/PrintableText.h"

namespace zep {
namespace {

std::size_t SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

void AppendByte(std::string& out, char c, bool control) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
        out += "\\\\";
    } else if (control || byte < 0x20 || byte == 0x7F || (byte >= 0x80 && byte <= 0x9F)) {
        constexpr char kDigits[] = "0123456789abcdef";
        out += {'\\', 'x', kDigits[byte >> 4], kDigits[byte & 0x0F]};
    } else {
        out += c;
    }
}

}  // namespace

std::string PrintableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = byte >= 0x80 ? SequenceLength(text.substr(i)) : 0;
        // U+0080 to U+009F, the C1 controls, are C2 80 to C2 9F in UTF-8.
        const bool c1 =
            length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (length > 0 && !c1) {
            out.append(text.substr(i, length));
            i += length;
        }
        for (const std::size_t end = i + (c1 ? 2 : length > 0 ? 0 : 1); i < end; ++i) {
            AppendByte(out, text[i], c1);
        }
    }
    return out;
}

}  // namespace zep
