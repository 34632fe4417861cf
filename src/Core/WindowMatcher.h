// How an item finds its window among its application's windows.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace kestr {

struct WindowMatcher {
    struct TitleContains {
        std::string text;
        friend bool operator==(const TitleContains&, const TitleContains&) = default;
    };
    struct TitleRegex {
        std::string pattern;  // ICU syntax
        friend bool operator==(const TitleRegex&, const TitleRegex&) = default;
    };
    struct WindowIndex {
        std::int64_t index = 0;
        friend bool operator==(const WindowIndex&, const WindowIndex&) = default;
    };
    struct FirstWindow {
        friend bool operator==(const FirstWindow&, const FirstWindow&) = default;
    };
    using Choice = std::variant<TitleContains, TitleRegex, WindowIndex, FirstWindow>;

    Choice choice = FirstWindow{};

    static WindowMatcher titleContains(std::string text) { return {TitleContains{std::move(text)}}; }
    static WindowMatcher titleRegex(std::string pattern) { return {TitleRegex{std::move(pattern)}}; }
    static WindowMatcher windowIndex(std::int64_t index) { return {WindowIndex{index}}; }
    static WindowMatcher firstWindow() { return {FirstWindow{}}; }

    // Whether it names its window by the title the window shows.
    bool namesTitle() const { return is<TitleContains>() || is<TitleRegex>(); }

    template <class Case>
    bool is() const {
        return std::holds_alternative<Case>(choice);
    }
    template <class Case>
    const Case* get() const {
        return std::get_if<Case>(&choice);
    }

    friend bool operator==(const WindowMatcher&, const WindowMatcher&) = default;
};

}  // namespace kestr
