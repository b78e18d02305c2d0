// Basic types shared by the whole class library: typed sets, the library's
// exception, string alias and small geometry helpers.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>

using String = std::string;

// Raised on misuse of the library. The text is fixed for each kind of misuse
// so that callers and tests can rely on it.
class EClassLibError : public std::runtime_error {
public:
    explicit EClassLibError(const String& text) : std::runtime_error(text) {}
};

// A set of enumeration values whose ordinals are 0..63.
template <typename E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items) {
        for (E e : items) Bits |= Bit(e);
    }
    static constexpr TSet FromBits(std::uint64_t bits) {
        TSet s;
        s.Bits = bits;
        return s;
    }

    constexpr bool Contains(E e) const { return (Bits & Bit(e)) != 0; }
    constexpr bool Empty() const { return Bits == 0; }
    TSet& Include(E e) {
        Bits |= Bit(e);
        return *this;
    }
    TSet& Exclude(E e) {
        Bits &= ~Bit(e);
        return *this;
    }
    constexpr std::uint64_t ToBits() const { return Bits; }

    constexpr TSet operator+(TSet o) const { return FromBits(Bits | o.Bits); }
    constexpr TSet operator-(TSet o) const { return FromBits(Bits & ~o.Bits); }
    constexpr TSet operator*(TSet o) const { return FromBits(Bits & o.Bits); }
    TSet& operator+=(TSet o) {
        Bits |= o.Bits;
        return *this;
    }
    TSet& operator-=(TSet o) {
        Bits &= ~o.Bits;
        return *this;
    }
    constexpr bool operator==(TSet o) const { return Bits == o.Bits; }
    constexpr bool operator!=(TSet o) const { return Bits != o.Bits; }

private:
    static constexpr std::uint64_t Bit(E e) { return std::uint64_t(1) << static_cast<unsigned>(e); }
    std::uint64_t Bits = 0;
};

class TObject;
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Calls an event's handler through a copy: a handler may free the object the
// event lives in, and the original with it, while it still runs.
template <typename TEvent, typename... TArgs>
void FireEvent(const TEvent& Event, TArgs&&... Args) {
    if (!Event) return;
    const TEvent handler = Event;
    handler(std::forward<TArgs>(Args)...);
}
