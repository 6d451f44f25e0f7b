// A value or the reason there is none: what the card's codecs return, so that a caller cannot
// use a result without having looked at whether it exists.
#pragma once

#include <cassert>
#include <utility>
#include <variant>

namespace handset {

template <typename E>
struct Unexpected {
    E error;
};

template <typename E>
Unexpected<E> unexpected(E error) {
    return Unexpected<E>{error};
}

template <typename T, typename E>
class Expected {
  public:
    Expected(T value) : m_content(std::in_place_index<0>, std::move(value)) {}
    Expected(Unexpected<E> failure) : m_content(std::in_place_index<1>, failure.error) {}

    bool has_value() const { return m_content.index() == 0; }
    explicit operator bool() const { return has_value(); }

    const T& value() const& {
        assert(has_value());
        return std::get<0>(m_content);
    }
    T&& value() && {
        assert(has_value());
        return std::get<0>(std::move(m_content));
    }
    const T& operator*() const& { return value(); }
    const T* operator->() const { return &value(); }

    E error() const {
        assert(!has_value());
        return std::get<1>(m_content);
    }

  private:
    std::variant<T, E> m_content;
};

} // namespace handset
