// The colour and font commands of a graphics window with their dialogs answered through the
// test seam: the choices become drawing objects and reach the window block.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndSetColor.h"
#include "kornd/CKorndSetText.h"
#include "kornd/CKorndView.h"

TEST(Dialogs, FontAndColourChoicesAreRecorded) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("KORND_TEST_ANSWERS", "Courier;#102030;Cancel", 1);  // font, colour, then a cancelled colour
  int argc = 1;
  char name[] = "kornd_dialog_test";
  char* argv[] = {name, nullptr};
  CKorndApp app(argc, argv);
  auto doc = std::make_unique<CKorndDoc>();
  auto view = std::make_unique<CKorndView>(doc.get());
  doc->SetView(view.get());
  doc->SetWindowNumber(1);
  app.SetWindowDoc(1, doc.get());
  doc->SetPageSize(100, 80, true);
  doc->SetColors(100, 80, 0, 19);

  ASSERT_TRUE(doc->MakeTextTool());
  ASSERT_EQ(doc->ObjectCount(), 1);
  const auto& text = static_cast<const CKorndSetText&>(*doc->Tools().back());
  EXPECT_STREQ(text.logfont.face_name, "Courier");
  EXPECT_EQ(text.font_valid, 1);
  EXPECT_STREQ(doc->Environment().text_logfont.face_name, "Courier");
  EXPECT_EQ(doc->block()->text_colour, 0x2000000);  // black as a direct colour

  EXPECT_EQ(doc->MakeColorTool(1), 0x302010);
  ASSERT_EQ(doc->ObjectCount(), 2);
  const auto& colour = static_cast<const CKorndSetColor&>(*doc->Tools().back());
  EXPECT_EQ(colour.slot, 1);
  EXPECT_EQ(colour.colour, 0x302010);
  EXPECT_EQ(doc->block()->fg, 0x2302010);
  EXPECT_EQ(doc->Environment().Role(1), 0x302010);

  EXPECT_EQ(doc->MakeColorTool(2), -1);
  EXPECT_EQ(doc->ObjectCount(), 2);
  doc->SetView(nullptr);
  doc.reset();
}
