#include "wizard/HandCursor.h"

#include <QBitmap>
#include <QImage>

namespace wizard {
namespace {

// '#' black, '.' white, ' ' transparent.
constexpr const char* kHand[32] = {
    "     ##                         ", "    #..#                        ",
    "    #..#                        ", "    #..#                        ",
    "    #..#                        ", "    #..###                      ",
    "    #..#..###                   ", "    #..#..#..##                 ",
    "    #..#..#..#.#                ", " ## #..#..#..#..#               ",
    "#..##........#..#               ", "#...#...........#               ",
    " #..............#               ", "  #.............#               ",
    "  #.............#               ", "   #...........#                ",
    "   #...........#                ", "    #.........#                 ",
    "    #.........#                 ", "    ###########                 ",
    "                                ", "                                ",
    "                                ", "                                ",
    "                                ", "                                ",
    "                                ", "                                ",
    "                                ", "                                ",
    "                                ", "                                ",
};

}  // namespace

QCursor HandCursor() {
  QImage bits(32, 32, QImage::Format_Mono);
  QImage mask(32, 32, QImage::Format_Mono);
  bits.fill(0);
  mask.fill(0);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const char c = kHand[y][x];
      // QBitmap: 1 is black. Cursor: bitmap 1 and mask 1 draw black, bitmap 0 and mask 1 white.
      bits.setPixel(x, y, c == '#' ? 1 : 0);
      mask.setPixel(x, y, c == ' ' ? 0 : 1);
    }
  }
  return QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), 6, 0);
}

}  // namespace wizard
