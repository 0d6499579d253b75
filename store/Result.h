#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

// What a failed call gives back: the text the user is shown.
struct Failure
{
    QString text;
};

inline Failure fail(QString text)
{
    return Failure{std::move(text)};
}

// The one way a call that can fail answers: its value, or the text the user
// is shown. Logic never opens a box; the window that called shows error().
template <typename T = void> class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_state(std::in_place_index<0>, std::move(value))
    {
    }
    Result(Failure failure)
        : m_state(std::in_place_index<1>, std::move(failure.text))
    {
    }

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return std::get<0>(m_state); }
    T &value() & { return std::get<0>(m_state); }
    T &&value() && { return std::get<0>(std::move(m_state)); }
    const T &operator*() const & { return value(); }
    T &operator*() & { return value(); }
    const T *operator->() const { return &value(); }
    T *operator->() { return &value(); }
    T valueOr(T fallback) const { return ok() ? value() : std::move(fallback); }

    // Empty while ok().
    QString error() const { return ok() ? QString() : std::get<1>(m_state); }

private:
    std::variant<T, QString> m_state;
};

template <> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure)
        : m_error(std::move(failure.text))
    {
    }

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    QString error() const { return m_error.value_or(QString()); }

private:
    std::optional<QString> m_error;
};
