#pragma once

// A value or a failure, with the member names of std::expected so that it can
// be swapped for it once the compilers we ship with offer it in C++20 mode.
// The failure's code is the enumeration of the layer that failed: each layer
// names its own `Result<T>` and `Error`, and a layer that passes on another
// layer's failure translates the code, it never reinterprets the number.

#include <cassert>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace base {

template<typename Code>
struct Failure {
    Code code {};
    std::string detail;
};

template<typename T, typename Code>
class [[nodiscard]] Result {
public:
    Result(T value) : m_data(std::in_place_index<0>, std::move(value)) {}
    Result(Failure<Code> error) : m_data(std::in_place_index<1>, std::move(error)) {}

    bool has_value() const { return m_data.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() & { assert(has_value()); return std::get<0>(m_data); }
    const T& value() const& { assert(has_value()); return std::get<0>(m_data); }
    T&& value() && { assert(has_value()); return std::get<0>(std::move(m_data)); }

    const Failure<Code>& error() const { assert(!has_value()); return std::get<1>(m_data); }

    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

private:
    std::variant<T, Failure<Code>> m_data;
};

template<typename Code>
class [[nodiscard]] Result<void, Code> {
public:
    Result() = default;
    Result(Failure<Code> error) : m_error(std::move(error)), m_failed(true) {}

    bool has_value() const { return !m_failed; }
    explicit operator bool() const { return has_value(); }
    const Failure<Code>& error() const { assert(m_failed); return m_error; }

private:
    Failure<Code> m_error;
    bool m_failed = false;
};

} // namespace base
