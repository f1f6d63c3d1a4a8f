#pragma once

namespace litho {

// One block of the block editor; its fields arrive with the editor.
struct CElement {};

}  // namespace litho
