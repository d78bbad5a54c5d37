// The language change that the start page offers.
#pragma once

#include <functional>
#include <utility>
#include <string>

namespace vt {

// Who follows a language change: the application takes the new title as its name,
// the wizard host re-applies its texts.
using LanguageChangeListener = std::function<void(const std::wstring& title)>;

// A listener's place in the list; it leaves the list when this goes, so an object
// that goes away receives no more notifications.
class LanguageChangeSubscription {
public:
    LanguageChangeSubscription() = default;
    explicit LanguageChangeSubscription(unsigned long id) noexcept : id_(id) {}
    ~LanguageChangeSubscription() { Reset(); }
    LanguageChangeSubscription(LanguageChangeSubscription&& other) noexcept
        : id_(std::exchange(other.id_, 0)) {}
    LanguageChangeSubscription& operator=(LanguageChangeSubscription&& other) noexcept {
        if (this != &other) {
            Reset();
            id_ = std::exchange(other.id_, 0);
        }
        return *this;
    }

    // Removes the listener now.
    void Reset() noexcept;
    [[nodiscard]] explicit operator bool() const noexcept { return id_ != 0; }

private:
    unsigned long id_ = 0;
};

[[nodiscard]] LanguageChangeSubscription AddLanguageChangeListener(LanguageChangeListener listener);

// Makes the code current; a language without installer texts announces that the
// installer goes on in English (message 1129) and falls back to English. Then the
// listeners receive the new title (with the product), in the order they were added.
void ChangeLanguage(int code);

} // namespace vt
