#include <locale>
#include <sstream>
#include <stdexcept>

#include "content/json.h"

namespace content {

namespace {

std::string writeNumber(double number) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(17);
    out << number;
    return out.str();
}

void writeValue(const Json& value, std::string& out);

void writeArray(const Json& value, std::string& out) {
    out += '[';
    for (std::size_t i = 0; i < value.items.size(); ++i) {
        if (i != 0) out += ',';
        writeValue(value.items[i], out);
    }
    out += ']';
}

void writeObject(const Json& value, std::string& out) {
    out += '{';
    bool first = true;
    for (const auto& [key, member] : value.members) {
        if (!first) out += ',';
        first = false;
        out += writeJsonString(key);
        out += ':';
        writeValue(member, out);
    }
    out += '}';
}

void writeValue(const Json& value, std::string& out) {
    switch (value.tag) {
        case JsonNumber:
            out += writeNumber(value.number);
            break;
        case JsonBool:
            out += value.boolean ? "true" : "false";
            break;
        case JsonString:
            out += writeJsonString(value.text);
            break;
        case JsonArray:
            writeArray(value, out);
            break;
        case JsonObject:
            writeObject(value, out);
            break;
        default:
            out += "null";
    }
}

}  // namespace

std::string writeJson(const Json& value) {
    std::string out;
    writeValue(value, out);
    return out;
}

std::string writeJsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20)
                    throw std::runtime_error("Control character in string");
                out += c;
        }
    }
    out += '"';
    return out;
}

}  // namespace content
