// The main window shows the mothership's drawing surface: what a script draws is on screen, and
// stays there when the window is resized.
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <string>

#include "core/app.h"
#include "gfx/surface.h"
#include "tests/qt_test_env.h"
#include "tests/ui/dialog_samples.h"
#include "ui/frmyume.h"
#include "ui/windowhost.h"

using namespace yume;
using yume::testing::Sj;

TEST(MothershipView, ShowsWhatTheScriptDrewAndKeepsItOnResize) {
  // A filled black square at (20,20)-(60,60) on the white surface.
  const std::string path = yume::testing::WriteScript(
      "mothership_view.ymr",
      "ペン色は「#000000」。塗り色は「#000000」。\n(20,20)から(60,60)へ、四角形。\nおわり。\n");
  TWindowHost host;
  TYumeApp app(host, {"/nonexistent/yumemori", Sj(path.c_str())});
  host.Attach(&app);
  EXPECT_EQ(host.Run(), 0);
  TfrmYume* form = host.Form();
  ASSERT_NE(form, nullptr);
  ASSERT_NE(Surfaces().Get(0), nullptr);
  Surfaces().EndPainting();
  QImage shot = form->grab().toImage();
  EXPECT_EQ(qGray(shot.pixel(40, 40)), 0) << "inside the square";
  EXPECT_EQ(qGray(shot.pixel(100, 100)), 255) << "outside it";
  // Growing the window keeps the drawing where it was.
  form->resize(800, 600);
  shot = form->grab().toImage();
  EXPECT_EQ(qGray(shot.pixel(40, 40)), 0);
  EXPECT_EQ(qGray(shot.pixel(700, 500)), 255);
}
