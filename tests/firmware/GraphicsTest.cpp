// The BASIC's graphics statements on the whole machine: each case types a
// program that draws, and the sub CPU's video RAM is compared with a picture
// the test draws itself from the published algorithms (Bresenham's line,
// the midpoint circle within one dot, a flood fill).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "FirmwareRig.h"

namespace {

struct TCanvas {
  std::vector<int> Dot = std::vector<int>(640 * 200, 0);
  int& At(int x, int y) { return Dot[y * 640 + x]; }
  void Pset(int x, int y, int c) {
    if (x >= 0 && x < 640 && y >= 0 && y < 200) At(x, y) = c;
  }
  // Drawn along the longer axis from the end with the smaller coordinate.
  void Line(int x1, int y1, int x2, int y2, int c) {
    if (std::abs(x2 - x1) >= std::abs(y2 - y1) ? x2 < x1 : y2 < y1) std::swap(x1, x2), std::swap(y1, y2);
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    const int sx = x2 < x1 ? -1 : 1, sy = y2 < y1 ? -1 : 1;
    int x = x1, y = y1;
    if (dx >= dy) {
      for (int e = 2 * dy - dx, n = 0; n <= dx; ++n, x += sx) {
        Pset(x, y, c);
        if (e > 0) y += sy, e -= 2 * dx;
        e += 2 * dy;
      }
    } else {
      for (int e = 2 * dx - dy, n = 0; n <= dy; ++n, y += sy) {
        Pset(x, y, c);
        if (e > 0) x += sx, e -= 2 * dy;
        e += 2 * dx;
      }
    }
  }
  // 4-connected flood fill of the dots that are neither paint nor border.
  void Paint(int x, int y, int paint, int border) {
    std::vector<std::pair<int, int>> todo{{x, y}};
    while (!todo.empty()) {
      auto [px, py] = todo.back();
      todo.pop_back();
      if (px < 0 || px >= 640 || py < 0 || py >= 200) continue;
      int& d = At(px, py);
      if (d == paint || d == border) continue;
      d = paint;
      todo.insert(todo.end(), {{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}});
    }
  }
  void Box(int x1, int y1, int x2, int y2, int c, bool fill) {
    for (int y = std::min(y1, y2); y <= std::max(y1, y2); ++y)
      for (int x = std::min(x1, x2); x <= std::max(x1, x2); ++x)
        if (fill || y == y1 || y == y2 || x == x1 || x == x2) Pset(x, y, c);
  }
};

// Boots, types the program (which ends in a loop, so no text is printed
// over the picture) and runs it; returns the colours of video RAM.
TCanvas Draw(const std::string& program, uint64_t runMs = 3000, const std::string& keys = "") {
  TFirmwareRig rig;
  TCanvas seen;
  if (!rig.WaitFor("Ok\n")) return seen;
  rig.Type(program + "RUN\n" + keys);
  while (rig.KeysPending()) rig.RunMs(20);
  rig.RunMs(runMs);
  const uint8_t* vram = rig.Thread->Scpu->Bank[0];
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 640; ++x) {
      const int a = y * 80 + x / 8, bit = 0x80 >> (x % 8);
      seen.At(x, y) = ((vram[a] & bit) ? 1 : 0) | ((vram[0x4000 + a] & bit) ? 2 : 0) | ((vram[0x8000 + a] & bit) ? 4 : 0);
    }
  return seen;
}

int Differences(const TCanvas& a, const TCanvas& b) {
  int n = 0;
  for (size_t i = 0; i < a.Dot.size(); ++i) n += a.Dot[i] != b.Dot[i];
  return n;
}

// Dots of colour c in one picture with no dot of that colour within one dot
// in the other, counted both ways.
int Misses(const TCanvas& seen, const TCanvas& model, int c) {
  auto near = [c](const TCanvas& a, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (x + dx >= 0 && x + dx < 640 && y + dy >= 0 && y + dy < 200 && a.Dot[(y + dy) * 640 + x + dx] == c)
          return true;
    return false;
  };
  int misses = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 640; ++x) {
      if (seen.Dot[y * 640 + x] != 0) misses += !near(model, x, y) || seen.Dot[y * 640 + x] != c;
      if (model.Dot[y * 640 + x] != 0) misses += !near(seen, x, y);
    }
  return misses;
}

TEST(Graphics, LinesBoxesAndDotsMatchTheModelDotForDot) {
  struct Case {
    std::string program;
    std::function<void(TCanvas&)> model;
  };
  const std::vector<Case> cases = {
      {"10 CLS:LINE(0,0)-(639,199),6:LINE(639,0)-(0,199),2:LINE(5,190)-(300,3),1\n",
       [](TCanvas& m) { m.Line(0, 0, 639, 199, 6), m.Line(639, 0, 0, 199, 2), m.Line(5, 190, 300, 3, 1); }},
      // Steep lines both ways, STEP from the last point, a line from the last point.
      {"10 CLS:LINE(100,10)-(90,190),5:LINE STEP(10,0)-STEP(-7,-150),3:LINE-(400,20),4\n",
       [](TCanvas& m) { m.Line(100, 10, 90, 190, 5), m.Line(100, 190, 93, 40, 3), m.Line(93, 40, 400, 20, 4); }},
      // Off the screen: clipped, never an error; the rest still drawn.
      {"10 CLS:LINE(-100,-50)-(700,250),7:PSET(-1,5):PSET(639,199),3:LINE(650,10)-(660,20)\n",
       [](TCanvas& m) { m.Line(-100, -50, 700, 250, 7), m.Pset(639, 199, 3); }},
      // Boxes and filled boxes, corners given either way round, ends inside one byte.
      {"10 CLS:LINE(10,10)-(200,100),4,B:LINE(400,80)-(300,20),1,BF:LINE(3,150)-(5,160),2,BF\n"
       "15 LINE(-5,-5)-(700,300),6,B:LINE(600,190)-(639,199),7,BF\n",
       [](TCanvas& m) {
         m.Box(10, 10, 200, 100, 4, false), m.Box(400, 80, 300, 20, 1, true), m.Box(3, 150, 5, 160, 2, true);
         m.Box(-5, -5, 700, 300, 6, false), m.Box(600, 190, 639, 199, 7, true);
       }},
      // PSET in the text colour, PRESET in the background; COLOR changes the default.
      {"10 CLS:PSET(1,1):COLOR 3:PSET(2,1):PSET(3,1),5:PSET(4,1):PRESET(4,1):COLOR 7\n",
       [](TCanvas& m) { m.Pset(1, 1, 7), m.Pset(2, 1, 3), m.Pset(3, 1, 5); }},
  };
  for (const Case& c : cases) {
    TCanvas model;
    c.model(model);
    EXPECT_EQ(Differences(Draw(c.program + "20 GOTO 20\n"), model), 0) << c.program;
  }
}

// The picture is drawn on the machine, the test repeats the fill on a copy of
// the picture taken before PAINT.
TEST(Graphics, PaintFillsLikeAFloodFill) {
  struct Case {
    std::string picture, paint;
    int x, y, colour, border;
  };
  const std::vector<Case> cases = {
      {"CIRCLE(320,100),90,3", "PAINT(320,100),5,3", 320, 100, 5, 3},
      // A box with a round hole, filled around the hole; text on the screen.
      {"LINE(100,20)-(200,80),4,B:CIRCLE(150,50),20,4:?\"TEXT\"", "PAINT(110,30),2,4", 110, 30, 2, 4},
      {"", "PAINT(10,10),6", 10, 10, 6, 6},  // the whole empty screen
      // Dotted rows above and below a line: more runs than the seed stack holds.
      {"FORX=0TO639STEP2:PSET(X,99),1:PSET(X,101),1:NEXT:LINE(0,60)-(639,60),1", "PAINT(300,100),1", 300, 100, 1,
       1},
      // A comb filled from below (runs that turn back), and rings crossed by a
      // line of the paint colour, with a border of another colour.
      {"FORI=0TO20:LINE(100+I*12,20)-(104+I*12,150),2,BF:NEXT:LINE(90,10)-(360,160),2,B", "PAINT(95,155),6,2", 95,
       155, 6, 2},
      {"CIRCLE(450,100),80,3:CIRCLE(450,100),40,3:LINE(360,100)-(540,100),6:PSET(450,50),6", "PAINT(450,30),6,3",
       450, 30, 6, 3},
      // Starting on the border or off the screen does nothing.
      {"CIRCLE(50,50),30,2", "PAINT(80,50),4,2:PAINT(-5,50),4", 0, 0, 4, 4},
  };
  for (const Case& c : cases) {
    const std::string draw = "10 CLS" + (c.picture.empty() ? "" : ":" + c.picture) + "\n";
    TCanvas model = Draw(draw + "20 GOTO 20\n", 6000);
    if (c.x || c.y) model.Paint(c.x, c.y, c.colour, c.border);
    EXPECT_EQ(Differences(Draw(draw + "20 " + c.paint + "\n30 GOTO 30\n", 15000), model), 0) << c.paint;
  }
}

// Every dot drawn lies within one dot of the midpoint circle and every dot
// of the circle on the screen has a drawn dot within one dot of it.
TEST(Graphics, CircleIsTheMidpointCircleWithinOneDot) {
  struct Case {
    int x, y, r;
  };
  for (const Case& c : std::vector<Case>{{320, 100, 90}, {30, 20, 40}, {600, 150, 3}}) {
    const TCanvas seen = Draw("10 CLS:CIRCLE(" + std::to_string(c.x) + "," + std::to_string(c.y) + ")," +
                              std::to_string(c.r) + ",5\n20 GOTO 20\n");
    TCanvas model;
    for (int x = c.r, y = 0, d = 1 - c.r; x >= y;) {
      for (auto [px, py] : {std::pair{x, y}, {y, x}})
        for (int sx : {-1, 1})
          for (int sy : {-1, 1}) model.Pset(c.x + sx * px, c.y + sy * py, 5);
      ++y;
      if (d < 0) d += 2 * y + 1;
      else --x, d += 2 * (y - x) + 1;
    }
    EXPECT_EQ(Misses(seen, model, 5), 0) << c.r;
  }
}

// Ellipses and arcs (with radii for negative angles) against the curve
// sampled from its parametric form, within one dot both ways.
TEST(Graphics, EllipsesAndArcsFollowTheCurveWithinOneDot) {
  struct Case {
    std::string args;
    int x, y, rx, ry;
    double start, end;
    bool radii;
  };
  const double pi = 3.14159265358979;
  const std::vector<Case> cases = {
      {"(320,100),90,5,,,0.4", 320, 100, 90, 36, 0, 2 * pi, false},
      {"(200,100),60,5,,,2.5", 200, 100, 24, 60, 0, 2 * pi, false},
      {"(320,100),80,5,0,1.5708", 320, 100, 80, 80, 0, pi / 2, false},
      {"(320,100),70,5,-0.7854,-4.7124", 320, 100, 70, 70, pi / 4, 3 * pi / 2, true},
      {"(500,120),80,5,3.1416,1.5708,0.5", 500, 120, 80, 40, pi, 2.5 * pi, false},
      {"(100,100),50,5,2,2", 100, 100, 50, 50, 0, 2 * pi, false},
  };
  for (const Case& c : cases) {
    const TCanvas seen = Draw("10 CLS:CIRCLE" + c.args + "\n20 GOTO 20\n");
    TCanvas model;
    for (double t = c.start; t <= c.end; t += 0.002)
      model.Pset(c.x + int(std::lround(c.rx * std::cos(t))), c.y - int(std::lround(c.ry * std::sin(t))), 5);
    if (c.radii)
      for (double t : {c.start, c.end})
        model.Line(c.x, c.y, c.x + int(std::lround(c.rx * std::cos(t))), c.y - int(std::lround(c.ry * std::sin(t))), 5);
    EXPECT_EQ(Misses(seen, model, 5), 0) << c.args;
  }
}


// GET takes a rectangle (not byte-aligned, odd width) and PUT puts it back
// over stripes of every colour in each mode and across the screen's edges;
// the test repeats both on the picture taken before them.
TEST(Graphics, GetAndPutRoundTripInEveryMode) {
  const std::string picture =
      "10 CLS:FORI=0TO63:LINE(I*10,40)-(I*10+9,199),I MOD 8,BF:NEXT:FORI=0TO7:LINE(I*9+3,0)-(I*9+50,30),I,BF:NEXT\n"
      "15 CIRCLE(40,15),12,6:DIM A%(700):GET(77,28)-(3,2),A%\n";
  struct Put {
    int x, y, mode;  // PSET PRESET AND OR XOR
  };
  const std::vector<Put> puts = {{101, 45, 0}, {203, 50, 1}, {305, 60, 2}, {407, 70, 3}, {509, 80, 4},
                                 {-30, 120, 4}, {600, 185, 3}, {250, -10, 0}, {150, 150, 4}};
  const char* modes[] = {"PSET", "PRESET", "AND", "OR", "XOR"};
  std::string program = picture;
  TCanvas model = Draw(picture + "30 GOTO 30\n", 6000);
  std::vector<int> got;
  for (int y = 2; y <= 28; ++y)
    for (int x = 3; x <= 77; ++x) got.push_back(model.At(x, y));
  for (size_t i = 0; i < puts.size(); ++i) {
    const Put& p = puts[i];
    program += std::to_string(20 + i) + " PUT(" + std::to_string(p.x) + "," + std::to_string(p.y) + "),A%" +
               (p.mode == 4 && i != 5 ? "" : std::string(",") + modes[p.mode]) + "\n";
    for (int y = 0; y < 27; ++y)
      for (int x = 0; x < 75; ++x) {
        const int c = got[y * 75 + x], X = p.x + x, Y = p.y + y;
        if (X < 0 || X >= 640 || Y < 0 || Y >= 200) continue;
        int& d = model.At(X, Y);
        const int r[] = {c, 7 - c, d & c, d | c, d ^ c};
        d = r[p.mode];
      }
  }
  EXPECT_EQ(Differences(Draw(program + "30 GOTO 30\n", 8000), model), 0);
}

// The array holds width and height first; a GET off the screen is 0 x 0; an
// array too small for the picture, or of strings, is refused.
TEST(Graphics, GetAndPutCheckTheArray) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitFor("Ok\n"));
  rig.Type("DIM A%(40),B(2),C$(20):GET(630,190)-(700,300),A%:?A%(0);A%(1);A%(2)\n"
           "GET(-9,0)-(-1,5),A%:?A%(0);A%(1):GET STEP(1,-5)-(0,0),B(1):?B(0)\n"
           "GET(0,0)-(79,1),A%:GET(0,0)-(79,2),A%\nDIM D%(1):D%(0)=80:D%(1)=100:PUT(0,0),D%\n"
           "GET(0,0)-(1,1),C$\nPUT(0,0),A%,MOD\n");
  ASSERT_TRUE(rig.WaitFor("Syntax error", 10000)) << rig.Screen();
  const std::string s = rig.Screen();
  for (const char* want : {" 10  10  0\nOk", " 0  0\n 0\nOk", "A%\nIllegal function call", "D%\nIllegal function call",
                           "C$\nType mismatch"})
    EXPECT_NE(s.find(want), std::string::npos) << want << "\n" << s;
}

TEST(Graphics, PointCsrlinLocateAndBeepAnswer) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitFor("Ok\n"));
  rig.Type("CLS:PSET(5,150),6:?POINT(5,150);POINT(6,150);POINT(-1,0);POINT(0,200)\n"
           "LOCATE 10,15:?\"AT\";CSRLIN;POS(0)\nBEEP:COLOR 9\n");
  ASSERT_TRUE(rig.WaitFor("Illegal function call"));
  const std::string s = rig.Screen();
  EXPECT_NE(s.find(" 6  0 -1 -1\nOk"), std::string::npos) << s;
  EXPECT_NE(s.find("\n          AT 15  17\nOk"), std::string::npos) << s;
  EXPECT_EQ(rig.Host.Beeps, 1);
}

// PALETTE sets the palette registers; SCREEN reads the text screen; a
// function key types its text (KEY n changes it), KEY ON shows the keys on
// the bottom row while text scrolls above it, KEY OFF gives the row back.
TEST(Graphics, PaletteScreenAndFunctionKeys) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitFor("Ok\n"));
  rig.Type("CLS:?\"HI\":?SCREEN(1,0);SCREEN(0,25);SCREEN(80,0):PALETTE 1,4:PALETTE 7,0:PALETTE 3,2:PALETTE\n"
           "PALETTE 1,4:PALETTE 7,0:KEY 1,\"?6*7\"+CHR$(13):KEY 2,STRING$(20,\"X\")\n");
  ASSERT_TRUE(rig.WaitFor(" 73 -1 -1\nOk\n", 10000)) << rig.Screen();
  rig.RunMs(3000);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(rig.State.Palette[i].load(), i == 1 ? 4u : i == 7 ? 0u : unsigned(i)) << i;
  rig.Keys.push_back(0x8001);
  ASSERT_TRUE(rig.WaitFor("?6*7\n 42\nOk\n")) << rig.Screen();
  rig.Keys.push_back(0x8002);
  rig.Type("\nKEY ON:FORI=1TO30:?I:NEXT\n");
  ASSERT_TRUE(rig.WaitFor(" 30\nOk\n", 10000)) << rig.Screen();
  rig.RunMs(500);
  std::vector<std::string> rows = rig.ScreenRows();
  EXPECT_EQ(rows[24], "?6*7    XXXXXX  LOAD\"   SAVE\"   CONT    PRINT   LOCATE  COLOR   TRON    TROFF");
  EXPECT_EQ(rows[22], "Ok");
  EXPECT_EQ(rows[0], " 9") << rig.Screen();
  rig.Type("KEY OFF:?\"A\":?\"B\"\n");
  ASSERT_TRUE(rig.WaitFor("B\nOk\n")) << rig.Screen();
  rig.RunMs(500);
  rows = rig.ScreenRows();
  EXPECT_EQ(rows[23], "Ok") << rig.Screen();
  EXPECT_EQ(rows[21], "A");
  EXPECT_EQ(rows[24], "");
  rig.Type("PALETTE 8,1\n");
  EXPECT_TRUE(rig.WaitFor("Illegal function call")) << rig.Screen();
}

// WIDTH 40 draws each dot twice across and keeps 40 characters a row; a
// line typed over two rows comes back whole; WIDTH 80 returns.
TEST(Graphics, Width40DoublesTheCharacters) {
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitFor("Ok\n"));
  const uint8_t* vram = rig.Thread->Scpu->Bank[0];
  rig.Type("CLS:?\"A\"\n");
  ASSERT_TRUE(rig.WaitFor("A\nOk\n"));
  std::vector<int> glyph;
  for (int y = 0; y < 8; ++y) glyph.push_back(vram[y * 80]);
  const std::string line = "10 REM " + std::string(60, 'B');
  rig.Type("WIDTH 40:?\"A\"\n" + line + "\nLIST\nWIDTH 50\n");
  ASSERT_TRUE(rig.WaitFor("Illegal function call", 10000)) << rig.Screen();
  for (int y = 0; y < 8; ++y) {
    int wide = 0;
    for (int b = 0; b < 8; ++b) wide |= (glyph[y] >> b & 1) * (3 << 2 * b);
    EXPECT_EQ(vram[y * 80] << 8 | vram[y * 80 + 1], wide) << y;
  }
  const std::vector<std::string> rows = rig.ScreenRows();
  ASSERT_GE(rows.size(), 7u);
  EXPECT_EQ(rows[0], "A");
  EXPECT_EQ(rows[5] + rows[6], line) << rig.Screen();
  EXPECT_EQ(rows[6].size(), 27u);
  rig.Type("WIDTH 80:?STRING$(50,\"C\")\n");
  ASSERT_TRUE(rig.WaitFor(std::string(50, 'C') + "\nOk")) << rig.Screen();
}

// The demo programs of docs/examples run and draw what they should.
TEST(Graphics, DemoProgramsDraw) {
  struct Dot {
    int x, y, colour;
  };
  struct Case {
    std::string file;
    std::vector<Dot> dots;
    std::string keys;
  };
  const std::vector<Case> cases = {
      {"plot.bas", {{20, 50, 4}, {70, 103, 4}, {20, 100, 6}, {5, 50, 0}}, ""},
      // Moved right three times, down eight times, left once over the stripes (XOR).
      {"sprite.bas", {{328, 134, 6}, {324, 131, 5}, {312, 70, 0}, {12, 10, 0}, {10, 150, 2}}, "\x1c\x1c\x1c" + std::string(8, '\x1f') + "\x1dQ"},
      {"paint.bas", {{210, 90, 6}, {300, 60, 2}, {540, 50, 6}, {10, 190, 4}, {240, 110, 0}, {300, 130, 3}, {10, 10, 0}}, ""},
  };
  for (const Case& c : cases) {
    std::ifstream in(std::string(EXAMPLES_DIR) + "/" + c.file);
    std::stringstream text;
    text << in.rdbuf();
    ASSERT_FALSE(text.str().empty()) << c.file;
    const TCanvas seen = Draw(text.str(), 20000, c.keys);
    for (const Dot& d : c.dots) EXPECT_EQ(seen.Dot[d.y * 640 + d.x], d.colour) << c.file << " " << d.x << "," << d.y;
  }
}

// The game of docs/examples: its bar follows the cursor keys, Q ends it.
TEST(Graphics, DemoGameFollowsTheKeys) {
  std::ifstream in(std::string(EXAMPLES_DIR) + "/catch.bas");
  std::stringstream text;
  text << in.rdbuf();
  TFirmwareRig rig;
  ASSERT_TRUE(rig.WaitFor("Ok\n"));
  ASSERT_TRUE(rig.TypeListing(text.str(), 30000));
  rig.Type("RUN\n");
  ASSERT_TRUE(rig.WaitFor("MISSED 0")) << rig.Screen();
  rig.RunMs(100);
  EXPECT_EQ(rig.ScreenRows().at(22).find("==="), 19u) << rig.Screen();
  rig.Type("\x1c\x1c\x1c\x1c\x1d");
  rig.RunMs(300);
  EXPECT_EQ(rig.ScreenRows().at(22).find("==="), 22u) << rig.Screen();
  rig.Type("Q");
  EXPECT_TRUE(rig.WaitFor("Ok")) << rig.Screen();
}

}  // namespace
