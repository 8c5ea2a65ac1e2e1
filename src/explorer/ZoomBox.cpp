#include "ZoomBox.h"

#include <cmath>

#include "Nearest.h"

ZoomBox ZoomBox::FromDrag(std::int16_t startX, std::int16_t startY, float x, float y, float viewportWidth,
                          float viewportHeight) {
  ZoomBox box;
  if (viewportWidth <= 0 || viewportHeight <= 0) {
    box.left = startX;
    box.top = startY;
    return box;
  }
  const float dx = std::fabs(x - startX);
  const float dy = std::fabs(y - startY);
  if (dy * viewportWidth / viewportHeight >= dx) {
    box.height = 2 * dy;
    box.width = box.height * viewportWidth / viewportHeight;
  } else {
    box.width = 2 * dx;
    box.height = box.width * viewportHeight / viewportWidth;
  }
  box.left = startX - box.width / 2;
  box.top = startY - box.height / 2;
  return box;
}

std::array<std::int16_t, 4> ZoomBox::PixelRectangle() const {
  return {Nearest<std::int16_t>(left), Nearest<std::int16_t>(top), Nearest<std::int16_t>(width),
          Nearest<std::int16_t>(height)};
}
