// State that the frame update shares with scrolling.
#pragma once

namespace vek {

// While a scroll lets the window repaint itself, vekRedrawSpriteContext does
// not ask for a full repaint: the scroll has marked what it needs.
void setScrollInProgress(bool inProgress);

}  // namespace vek
