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
  // A font, a colour, a cancelled colour, then the answers of the message boxes below.
  setenv("KORND_TEST_ANSWERS", "Courier;#102030;Cancel;Ignore;Abort;Cancel", 1);
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

  // Message boxes: Ignore suppresses that message from then on, Abort and Cancel stop the serving.
  app.closing = false;
  EXPECT_EQ(app.ShowMessageID(IDS_INVALID_PARAMETER, nullptr, MB_ERROR), 5);
  EXPECT_EQ(app.ShowMessageID(IDS_INVALID_PARAMETER, nullptr, MB_ERROR), 0);  // no box
  EXPECT_FALSE(app.closing);
  EXPECT_EQ(app.ShowMessageID(IDS_OPEN_FAILED, nullptr, MB_ERROR), 3);  // takes "Abort"
  EXPECT_TRUE(app.closing);
  app.closing = false;
  EXPECT_EQ(app.ShowMessageText("Close?", nullptr, MB_QUESTION), 2);
  EXPECT_TRUE(app.closing);
  EXPECT_FALSE(app.box_open);
  app.closing = false;
  EXPECT_EQ(app.ShowError("Insufficient system memory", false), 3);  // list used up: the first button
  EXPECT_FALSE(app.closing);  // an error box closes the frame but does not set closing itself
  EXPECT_EQ(app.ShowSystemError("Kornd: Error-3", 0, 0), 0);  // no error code: no box
  doc->SetView(nullptr);
  doc.reset();
}
