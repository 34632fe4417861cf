#include "Platform/X11/X11KeyTable.h"

#include <X11/keysym.h>

#include <map>

#include "Platform/HotKeys.h"
#include "Platform/Observers.h"

namespace kestr {

namespace {

std::vector<X11KeyTable::Key> makeKeys() {
    return {
        {0, XK_a},       {1, XK_s},          {2, XK_d},
        {3, XK_f},       {4, XK_h},          {5, XK_g},
        {6, XK_z},       {7, XK_x},          {8, XK_c},
        {9, XK_v},       {11, XK_b},         {12, XK_q},
        {13, XK_w},      {14, XK_e},         {15, XK_r},
        {16, XK_y},      {17, XK_t},         {18, XK_1},
        {19, XK_2},      {20, XK_3},         {21, XK_4},
        {22, XK_6},      {23, XK_5},         {24, XK_equal},
        {25, XK_9},      {26, XK_7},         {27, XK_minus},
        {28, XK_8},      {29, XK_0},         {30, XK_bracketright},
        {31, XK_o},      {32, XK_u},         {33, XK_bracketleft},
        {34, XK_i},      {35, XK_p},         {36, XK_Return},
        {37, XK_l},      {38, XK_j},         {39, XK_apostrophe},
        {40, XK_k},      {41, XK_semicolon}, {42, XK_backslash},
        {43, XK_comma},  {44, XK_slash},     {45, XK_n},
        {46, XK_m},      {47, XK_period},    {48, XK_Tab},
        {49, XK_space},  {50, XK_grave},     {51, XK_BackSpace},
        {53, XK_Escape}, {64, XK_F17},       {76, XK_KP_Enter},
        {79, XK_F18},    {80, XK_F19},       {90, XK_F20},
        {96, XK_F5},     {97, XK_F6},        {98, XK_F7},
        {99, XK_F3},     {100, XK_F8},       {101, XK_F9},
        {103, XK_F11},   {105, XK_F13},      {106, XK_F16},
        {107, XK_F14},   {109, XK_F10},      {111, XK_F12},
        {113, XK_F15},   {114, XK_Help},     {115, XK_Home},
        {116, XK_Prior}, {117, XK_Delete},   {118, XK_F4},
        {119, XK_End},   {120, XK_F2},       {121, XK_Next},
        {122, XK_F1},    {123, XK_Left},     {124, XK_Right},
        {125, XK_Down},  {126, XK_Up},
    };
}

struct ModifierBit {
    std::uint32_t carbon;
    std::uint16_t x;
};
constexpr ModifierBit modifierBits[] = {
    {CarbonModifier::command, XCB_MOD_MASK_CONTROL},
    {CarbonModifier::option, XCB_MOD_MASK_1},
    {CarbonModifier::shift, XCB_MOD_MASK_SHIFT},
    {CarbonModifier::control, XCB_MOD_MASK_4},
};

}  // namespace

const std::vector<X11KeyTable::Key>& X11KeyTable::keys() {
    static const std::vector<Key> table = makeKeys();
    return table;
}

std::optional<xcb_keysym_t> X11KeyTable::keysym(std::uint32_t keyCode) {
    for (const Key& k : keys()) {
        if (k.keyCode == keyCode) return k.keysym;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> X11KeyTable::keyCode(xcb_keysym_t keysym) {
    for (const Key& k : keys()) {
        if (k.keysym == keysym) return k.keyCode;
    }
    return std::nullopt;
}

std::uint16_t X11KeyTable::xModifiers(std::uint32_t carbonModifiers) {
    std::uint16_t mask = 0;
    for (const ModifierBit& m : modifierBits) {
        if (carbonModifiers & m.carbon) mask |= m.x;
    }
    return mask;
}

std::uint32_t X11KeyTable::carbonModifiers(std::uint16_t xState) {
    std::uint32_t mask = 0;
    for (const ModifierBit& m : modifierBits) {
        if (xState & m.x) mask |= m.carbon;
    }
    return mask;
}

X11KeyTable::X11KeyTable(X11Connection& x) : x_(x), symbols_(xcb_key_symbols_alloc(x.raw())) {
    if (!symbols_) throw X11Error("cannot read the keyboard map of " + x.displayName());
    readModifierMap();
    // Every client hears of a new map without asking for it.
    x_.addListener([this](const xcb_generic_event_t& event) {
        if ((event.response_type & 0x7f) == XCB_MAPPING_NOTIFY)
            mappingChanged(reinterpret_cast<const xcb_mapping_notify_event_t&>(event));
    });
}

X11KeyTable::~X11KeyTable() { xcb_key_symbols_free(symbols_); }

std::vector<xcb_keycode_t> X11KeyTable::xKeycodes(std::uint32_t keyCode) {
    std::vector<xcb_keycode_t> out;
    const auto wanted = keysym(keyCode);
    if (!wanted) return out;
    const xcb_setup_t* setup = xcb_get_setup(x_.raw());
    for (int key = setup->min_keycode; key <= setup->max_keycode; ++key) {
        const auto code = static_cast<xcb_keycode_t>(key);
        if (xcb_key_symbols_get_keysym(symbols_, code, 0) == *wanted ||
            xcb_key_symbols_get_keysym(symbols_, code, 1) == *wanted)
            out.push_back(code);
    }
    return out;
}

xcb_keysym_t X11KeyTable::keysymOf(xcb_keycode_t key) { return xcb_key_symbols_get_keysym(symbols_, key, 0); }

void X11KeyTable::mappingChanged(const xcb_mapping_notify_event_t& event) {
    if (event.request == XCB_MAPPING_POINTER) return;
    // The event is copied: xcb's helper takes a non-const one.
    xcb_mapping_notify_event_t copy = event;
    xcb_refresh_keyboard_mapping(symbols_, &copy);
    readModifierMap();
    tellObservers(observers_);
}

std::vector<xcb_keycode_t> X11KeyTable::modifierKeys(std::uint16_t xModifiers) const {
    std::vector<xcb_keycode_t> out;
    for (int modifier = 0; modifier < 8; ++modifier) {
        if (!(xModifiers & (1u << modifier))) continue;
        out.insert(out.end(), modifierKeys_[modifier].begin(), modifierKeys_[modifier].end());
    }
    return out;
}

void X11KeyTable::readModifierMap() {
    numLockMask_ = 0;
    for (auto& keys : modifierKeys_) keys.clear();
    auto map =
        x_.reply<xcb_get_modifier_mapping_reply_t>(xcb_get_modifier_mapping_reply, xcb_get_modifier_mapping(x_.raw()));
    if (!map) return;
    const xcb_keycode_t* keys = xcb_get_modifier_mapping_keycodes(map.get());
    const int perModifier = map->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t key = keys[modifier * perModifier + i];
            if (key != 0) modifierKeys_[modifier].push_back(key);
            if (key != 0 && xcb_key_symbols_get_keysym(symbols_, key, 0) == XK_Num_Lock)
                numLockMask_ = static_cast<std::uint16_t>(1u << modifier);
        }
    }
}

}  // namespace kestr
