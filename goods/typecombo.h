// The goods tab's type drop-down (商品类型) offers the goods types the store
// holds; it is refilled whenever the types are read again.
#pragma once

namespace vorn::ui {

class Shell;

// Sets the drop-down's choices to the loaded types, in id order, none chosen.
void fillTypeCombo(Shell& shell);

} // namespace vorn::ui
