#pragma once

// A value or an error, with the member names of std::expected so that it can
// be swapped for it once the compilers we ship with offer it in C++20 mode.

#include <cassert>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace base {

struct Error {
    int code = 0;
    std::string detail;
};

template<typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_data(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : m_data(std::in_place_index<1>, std::move(error)) {}

    bool has_value() const { return m_data.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() & { assert(has_value()); return std::get<0>(m_data); }
    const T& value() const& { assert(has_value()); return std::get<0>(m_data); }
    T&& value() && { assert(has_value()); return std::get<0>(std::move(m_data)); }

    const Error& error() const { assert(!has_value()); return std::get<1>(m_data); }

    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

private:
    std::variant<T, Error> m_data;
};

template<>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)), m_failed(true) {}

    bool has_value() const { return !m_failed; }
    explicit operator bool() const { return has_value(); }
    const Error& error() const { assert(m_failed); return m_error; }

private:
    Error m_error;
    bool m_failed = false;
};

} // namespace base
