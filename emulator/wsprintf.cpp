#include "wsprintf.h"

namespace gaugehost {

std::string wsprintf_format(std::string_view fmt, const std::function<uint32_t()>& next_arg,
                            const std::function<std::string(uint32_t)>& read_string) {
    constexpr size_t limit = kWsprintfBufferLimit - 1;
    std::string out;
    auto emit = [&](std::string_view s) {
        size_t room = limit - out.size();
        out.append(s.substr(0, room));
    };
    size_t i = 0;
    while (i < fmt.size() && out.size() < limit) {
        char c = fmt[i++];
        if (c != '%') {
            out.push_back(c);
            continue;
        }
        if (i >= fmt.size()) break;  // a lone '%' at the end prints nothing
        bool left = false, zero = false, alt = false;
        for (;; ++i) {
            if (i >= fmt.size()) return out;
            if (fmt[i] == '-') left = true;
            else if (fmt[i] == '0') zero = true;
            else if (fmt[i] == '#') alt = true;
            else break;
        }
        size_t width = 0;
        while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') width = std::min<size_t>(width * 10 + (fmt[i++] - '0'), limit);
        bool has_precision = false;
        size_t precision = 0;
        if (i < fmt.size() && fmt[i] == '.') {
            has_precision = true;
            ++i;
            while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9')
                precision = std::min<size_t>(precision * 10 + (fmt[i++] - '0'), limit);
        }
        while (i < fmt.size() && (fmt[i] == 'l' || fmt[i] == 'h')) ++i;
        if (i >= fmt.size()) return out;
        char type = fmt[i++];
        std::string sign, prefix, body;
        bool numeric = false;
        switch (type) {
        case 'd':
        case 'i': {
            int32_t v = int32_t(next_arg());
            uint32_t mag = v < 0 ? 0u - uint32_t(v) : uint32_t(v);
            if (v < 0) sign = "-";
            body = std::to_string(mag);
            numeric = true;
            break;
        }
        case 'u':
            body = std::to_string(next_arg());
            numeric = true;
            break;
        case 'x':
        case 'X': {
            uint32_t v = next_arg();
            const char* digits = type == 'x' ? "0123456789abcdef" : "0123456789ABCDEF";
            do {
                body.insert(body.begin(), digits[v & 15]);
                v >>= 4;
            } while (v);
            if (alt) prefix = type == 'x' ? "0x" : "0X";
            numeric = true;
            break;
        }
        case 'c':
        case 'C':
            body.assign(1, char(next_arg() & 0xFF));
            break;
        case 's':
        case 'S': {
            uint32_t p = next_arg();
            body = p ? read_string(p) : "(null)";
            if (has_precision && body.size() > precision) body.resize(precision);
            break;
        }
        default:  // '%' and any character wsprintfA does not know are printed as themselves
            body.assign(1, type);
            break;
        }
        if (numeric && has_precision && body.size() < precision) body.insert(0, precision - body.size(), '0');
        size_t len = sign.size() + prefix.size() + body.size();
        size_t pad = width > len ? width - len : 0;
        if (left) {
            emit(sign + prefix + body);
            emit(std::string(pad, ' '));
        } else if (zero && numeric) {
            emit(sign + prefix + std::string(pad, '0') + body);
        } else if (zero) {
            emit(std::string(pad, '0') + body);
        } else {
            emit(std::string(pad, ' ') + sign + prefix + body);
        }
    }
    if (out.size() > limit) out.resize(limit);
    return out;
}

}  // namespace gaugehost
