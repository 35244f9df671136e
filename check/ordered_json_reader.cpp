#include "check/ordered_json_reader.h"

#include <iterator>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

using Json = nlohmann::ordered_json;

struct OpenValue {
    Json* value;                                        // an object or an array
    std::unordered_map<std::string, std::size_t> keys;  // an object's keys and their places
};

// The events of nlohmann's SAX reader, building the value as they come.
class Builder {
  public:
    explicit Builder(std::size_t max_depth) : max_depth_(max_depth) {}

    bool null() { return Place(nullptr) != nullptr; }
    bool boolean(bool value) { return Place(value) != nullptr; }
    bool number_integer(Json::number_integer_t value) { return Place(value) != nullptr; }
    bool number_unsigned(Json::number_unsigned_t value) { return Place(value) != nullptr; }
    bool number_float(Json::number_float_t value, const std::string&) {
        return Place(value) != nullptr;
    }
    bool string(std::string& value) { return Place(std::move(value)) != nullptr; }
    bool binary(Json::binary_t& value) { return Place(std::move(value)) != nullptr; }
    bool start_object(std::size_t) { return Open(Json::object()); }
    bool start_array(std::size_t) { return Open(Json::array()); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool key(std::string& key) {
        OpenValue& object = open_.back();
        auto& members = object.value->get_ref<Json::object_t&>();
        const auto [place, added] = object.keys.try_emplace(key, members.size());
        // The ordered map's own insertion would search every member: append directly.
        if (added) members.emplace_back(std::move(key), nullptr);
        slot_ = &std::next(members.begin(), static_cast<std::ptrdiff_t>(place->second))->second;
        return true;
    }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error) {
        result.error = error.what();
        return false;
    }

    OrderedJsonRead result;
    bool too_deep = false;

  private:
    // Puts a value where the text puts it; returns where it now lives.
    Json* Place(Json value) {
        if (open_.empty()) {
            result.value = std::move(value);
            return &result.value;
        }
        Json& container = *open_.back().value;
        if (container.is_array()) {
            container.push_back(std::move(value));
            return &container.back();
        }
        *slot_ = std::move(value);
        return slot_;
    }

    // A value's address stays valid while it is open: its container grows only after it closes.
    bool Open(Json empty) {
        if (open_.size() >= max_depth_) {
            too_deep = true;
            return false;
        }
        open_.push_back({Place(std::move(empty)), {}});
        return true;
    }

    bool Close() {
        open_.pop_back();
        return true;
    }

    std::size_t max_depth_;
    std::vector<OpenValue> open_;
    Json* slot_ = nullptr;  // the member whose key came last
};

}  // namespace

OrderedJsonRead ReadOrderedJson(std::string_view text, std::size_t max_depth) {
    Builder builder(max_depth);
    if (!Json::sax_parse(text, &builder) && builder.too_deep) {
        builder.result.error =
            "the file nests more than " + std::to_string(max_depth) + " levels deep";
    }
    if (!builder.result.error.empty()) builder.result.value = nullptr;
    return std::move(builder.result);
}
