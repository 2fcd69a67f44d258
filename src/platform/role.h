// Controls, timers and menu items are addressed by role: each window declares
// an enum of its roles and uses its values in the layout table and handlers.
#pragma once

#include <type_traits>

namespace kv::platform {

struct Role {
    int value = -1;

    constexpr Role() = default;
    template <class E>
    requires std::is_enum_v<E>
    constexpr Role(E role) : value(static_cast<int>(role)) {}

    static constexpr Role fromValue(int value) {
        Role role;
        role.value = value;
        return role;
    }

    template <class E>
    requires std::is_enum_v<E>
    constexpr bool is(E role) const { return value == static_cast<int>(role); }
    friend constexpr bool operator==(Role, Role) = default;
};

}  // namespace kv::platform
