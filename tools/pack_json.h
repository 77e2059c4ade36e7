#pragma once
// A JSON value for the content pack generator that keeps its members in the order they were added,
// so that the written files read top-down (id first), and writes them indented.
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "content/json.h"

namespace packgen {

class Value {
   public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    Value() = default;
    Value(bool b) : kind_(Kind::Bool), bool_(b) {}
    Value(int n) : kind_(Kind::Number), number_(n) {}
    Value(double n) : kind_(Kind::Number), number_(n) {}
    Value(const char* s) : kind_(Kind::String), text_(s) {}
    Value(std::string s) : kind_(Kind::String), text_(std::move(s)) {}

    static Value array(std::vector<Value> items = {}) {
        Value v;
        v.kind_ = Kind::Array;
        v.items_ = std::move(items);
        return v;
    }
    static Value object() {
        Value v;
        v.kind_ = Kind::Object;
        return v;
    }
    static Value numbers(std::initializer_list<double> list) {
        std::vector<Value> items;
        for (double n : list) items.emplace_back(n);
        return array(std::move(items));
    }

    // Adds or replaces a member; returns the object for chaining.
    Value& set(const std::string& key, Value value) {
        for (auto& member : members_) {
            if (member.first == key) {
                member.second = std::move(value);
                return *this;
            }
        }
        members_.emplace_back(key, std::move(value));
        return *this;
    }
    Value& push(Value value) {
        items_.push_back(std::move(value));
        return *this;
    }
    // Lays every member of another object over this one.
    Value& merge(const Value& other) {
        for (const auto& member : other.members_) set(member.first, member.second);
        return *this;
    }

    std::string write() const {
        std::string out;
        write(out, 0);
        out += '\n';
        return out;
    }

   private:
    static std::string number(double n) {
        if (std::floor(n) == n && std::fabs(n) < 1e15) return std::to_string(static_cast<long long>(n));
        std::ostringstream s;
        s.precision(6);
        s << n;
        return s.str();
    }
    // Arrays of plain values stay on one line: coordinates and uv rectangles read better that way.
    bool flat() const {
        for (const Value& item : items_)
            if (item.kind_ == Kind::Array || item.kind_ == Kind::Object) return false;
        return true;
    }
    void write(std::string& out, int depth) const {
        const std::string pad(static_cast<std::size_t>(depth + 1) * 2, ' ');
        const std::string close(static_cast<std::size_t>(depth) * 2, ' ');
        switch (kind_) {
            case Kind::Null:
                out += "null";
                break;
            case Kind::Bool:
                out += bool_ ? "true" : "false";
                break;
            case Kind::Number:
                out += number(number_);
                break;
            case Kind::String:
                out += content::writeJsonString(text_);
                break;
            case Kind::Array:
                if (items_.empty() || flat()) {
                    out += '[';
                    for (std::size_t i = 0; i < items_.size(); ++i) {
                        if (i) out += ", ";
                        items_[i].write(out, depth + 1);
                    }
                    out += ']';
                    break;
                }
                out += "[\n";
                for (std::size_t i = 0; i < items_.size(); ++i) {
                    out += pad;
                    items_[i].write(out, depth + 1);
                    out += i + 1 < items_.size() ? ",\n" : "\n";
                }
                out += close + ']';
                break;
            case Kind::Object:
                if (members_.empty()) {
                    out += "{}";
                    break;
                }
                out += "{\n";
                for (std::size_t i = 0; i < members_.size(); ++i) {
                    out += pad + content::writeJsonString(members_[i].first) + ": ";
                    members_[i].second.write(out, depth + 1);
                    out += i + 1 < members_.size() ? ",\n" : "\n";
                }
                out += close + '}';
                break;
        }
    }

    Kind kind_ = Kind::Null;
    bool bool_ = false;
    double number_ = 0.0;
    std::string text_;
    std::vector<Value> items_;
    std::vector<std::pair<std::string, Value>> members_;
};

}  // namespace packgen
