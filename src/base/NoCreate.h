#pragma once

namespace tolvane {

// Tag for making an object without any GL object behind it, where there is
// no context: `Renderer renderer{NoCreate};`. Such an object holds its plain
// state only (a fade, a list of lights); whatever would draw needs the
// ordinary constructor and a current context.
struct NoCreateT {
    explicit constexpr NoCreateT() = default;
};
inline constexpr NoCreateT NoCreate{};

}  // namespace tolvane
