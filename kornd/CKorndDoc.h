// CKorndDoc.h - the document of one graphics window: its ordered list of drawing objects with
// object and hidden counts, its window block (shared with the client, or its own copy), the
// drawing environment new objects are drawn with first, the picture geometry (size, viewport
// rectangles, drawing bounds), colour resolution and the drawing-state defaults of the block
// head, and the pending question of a failed operation.
// Changes: the application's window table and open-window count (registration and release).
// Includes no widget header: views subscribe through the update hints.
#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "kornd/CKorndDataBuffer.h"
#include "kornd/CKorndGC.h"
#include "kornd/CKRDIB.h"
#include "kornd/CKREMF.h"
#include "kornd/CKorndTool.h"
#include "kornd/DrawUtil.h"
#include "kornd/Printer_Settings.h"
#include "platform/Channel_Blocks.h"
#include "platform/Shared_Block.h"

class CKorndView;
class CKorndChild;
class CKorndPlot;
class CKorndOG;
class KRdc;
struct Save_Failure;

class CKorndDoc {
 public:
  // Update hint codes the document sends to its views.
  enum Hint { Hint_Open = 1, Hint_Add = 3, Hint_Clear = 7, Hint_Erase = 9, Hint_End_Waits = 15 };

  CKorndDoc();
  ~CKorndDoc();
  CKorndDoc(const CKorndDoc&) = delete;
  CKorndDoc& operator=(const CKorndDoc&) = delete;

  // --- window life ---
  // Takes over a shared window block created for this window (the block in use from then on).
  void AttachBlock(platform::Shared_Block&& shared);
  // Closes the window unless a message box is up; false when it stays open.
  bool OnCloseDocument();
  // Frees the drawing and the shared block and clears the window table's slot.
  void ReleaseWindow();
  bool released() const { return released_; }

  // --- picture geometry and drawing state (colours and defaults) ---
  void SetPageSize(int width, int height, bool reset);
  // Resets the block's drawing-state head and gives the environment its defaults.
  void SetColors(int width, int height, int fg, int bg);
  // Colour value (0x00bbggrr) or -1 of a colour code; a code that asks the user shows the
  // colour dialog, and `out` then receives the answer | 0x2000000.
  std::int32_t ResolveColor(int code, std::int32_t* out, const CKorndGC* env = nullptr);
  // Lets the user choose the colour of a role (1-11) and records the choice, and every custom
  // colour the dialog changed, as colour objects; returns the colour or -1.
  std::int32_t MakeColorTool(int role);
  // The "Text Font" and "Symbol Font" commands: the user chooses a font, which is recorded as a
  // text or symbol attribute object; true when a font was chosen.
  bool MakeTextTool();
  bool MakeSymbolTool();
  // Asks for a colour starting at `initial`; -1 when cancelled.
  std::int32_t AskColor(std::int32_t initial);
  int MarkSize(int type, int size, const CKorndGC* env = nullptr) const;
  // Rescales a drawing-state head to another unit.
  static void Rescale(channel::KRwinblock& block, int new_unit);
  static std::uint32_t FixedColor(int code);  // code 0-19

  // --- object list ---
  // Adds the object in the slot (which is empty afterwards); the pending object is none after.
  void AddTool(std::unique_ptr<CKorndTool>& slot);
  // An object of the document draws; a pause inside it serves commands and requests that may
  // take objects off the list. Those stay alive, off the list, until the last drawing returns.
  void BeginDrawing() { ++drawing_depth_; }
  void EndDrawing();
  // BeginDrawing for the scope's life: objects taken off meanwhile outlive every use of them.
  class Drawing_Scope {
   public:
    explicit Drawing_Scope(CKorndDoc& doc) : doc_(doc) { doc_.BeginDrawing(); }
    ~Drawing_Scope() { doc_.EndDrawing(); }
    Drawing_Scope(const Drawing_Scope&) = delete;
    Drawing_Scope& operator=(const Drawing_Scope&) = delete;

   private:
    CKorndDoc& doc_;
  };
  // Grows each time objects leave the list or move out of it: a walk that sees it change after
  // an object drew stops there, its place may be gone.
  std::uint64_t ListChanges() const { return list_changes_; }
  int PurgeTools(int limit);
  // Marks an object erased (removed by the next purge) and counts it hidden.
  void MarkErased(CKorndTool& t);
  int EraseLast(int n, bool redraw);
  // Deletes every object; false when the user cancelled the question.
  bool ClearAll();
  // Unites r grown by 8 pixels into the drawing bounds, inside the picture; an empty r adds nothing.
  void GrowBounds(const KRrect& r);
  // Replays the list into a painter from env's replay position; returns the node after the one
  // the walk stopped at, or end() when it ran to the end.
  ToolList::iterator Render(KRdc* dc, CKorndGC& env, int stop_id);
  // Shows the pending question; returns the answer (0 when there is none).
  int ReportPendingError();
  void SetPendingMessage(int id) { pending_message_ = id; }
  int PendingMessage() const { return pending_message_; }

  // --- the window's requests (letters other than K, I, J, L) ---
  std::uint32_t ExecuteCommand(char letter);
  // Builds the object of a primitive code from the arguments and the block head and holds it
  // as the pending object (none when refused); returns it.
  CKorndTool* MakeTool(int code, int a1, int a2);
  // MakeTool, then AddTool on the pending object.
  void AddNewTool(int code, int a1, int a2);
  // The window's background colour value (the block's background code when the document has
  // none); white when neither gives one.
  std::int32_t BackgroundColour();
  // Data buffer of point lists: copies `length` bytes of the data area to `offset`; false
  // when that does not fit the buffer.
  bool CopyToDataBuffer(int offset, int length);
  std::size_t DataBufferSize() const { return data_buffer_.size(); }
  // The descriptor of a shared data buffer the last request made, for its reply; else -1.
  int TakeNewDataBuffer() { return data_buffer_.TakeNewShared(); }
  // The data buffer's first bytes from a batch; false when they do not fit.
  bool FillDataBuffer(std::string_view bytes);
  // Drops the pending object and the data buffer.
  void DropPending();

  // --- bitmaps, symbols, inquiries and show states (CKorndDoc_Bitmaps.cpp, CKorndDoc_Symbols.cpp,
  // CKorndDoc_Inquiry.cpp) ---
  // Bitmap n, or null for a number outside the table or an empty entry.
  CKRDIB* Bitmap(int n) const;
  int NextBitmapNumber() const { return next_bitmap_; }
  int LoadBitmapFile(int n, const QString& name);
  int SaveBitmapFile(int n, const QString& name);
  int CopyBitmap(int n, int source);
  int MakeBitmap(const void* values, std::size_t bytes, int n, int w, int h, int depth);
  int TextBitmap(int n, int w, int h, int x, int y, const QString& text);
  // Symbol n (1 to the next symbol number - 1), or null.
  CKREMF* Symbol(int n) const;
  int NextSymbolNumber() const { return next_symbol_; }
  // The symbol being recorded, or null.
  CKREMF* RecordingSymbol() const { return recording_; }
  int PrintMarginX() const { return print_margin_x_; }
  int PrintMarginY() const { return print_margin_y_; }
  // The window's own printer set-up: a copy of the application's selection, taken when the
  // window is made (GetPrinterPage) and after each print or print set-up.
  void GetPrinterPage();
  const Printer_Settings& PrinterSettings() const { return printer_settings_; }
  void SetPrinterSettings(const Printer_Settings& s) { printer_settings_ = s; }

  // --- picture files and exports (CKorndDoc_Serialize.cpp) ---
  // The picture file's bytes (objects in the erased id range marked erased).
  std::vector<std::uint8_t> PictureBytes();
  // Writes the picture file through a temporary; false when nothing was written (why, in
  // failure when given).
  bool SavePicture(const QString& name, Save_Failure* failure = nullptr);
  // Appends a picture file's objects (and its bitmaps and symbols, numbered after the window's
  // own); with grow the picture takes the larger size and the file's drawing state. A refused
  // file changes nothing and gives 0, else the window number. Relative bitmap and symbol file
  // names are looked for in `folder` (the picture file's) first.
  int ReadPicture(const std::vector<std::uint8_t>& bytes, bool rescale, bool grow, const QString& folder = QString());
  // Request B 11: mode 0 as stored, 1 rescaled, 2 grown, other both. 0 when no file opened.
  int LoadPicture(const QString& name, int mode);
  // Request B 12: type 1 picture file, 2 metafile, 3 bitmap, other by the extension; area mode
  // 1-5 (other: the view's); w x h the output size (0: chosen). False when nothing was saved;
  // failure (when given) then holds the file and the reason, or stays empty when there was
  // nothing to save or a dialog was cancelled.
  bool SaveByType(const QString& name, int type, int mode, int w, int h, Save_Failure* failure = nullptr);
  // The file dialog of saving and opening pictures, titled by string title_id, with the
  // template's filter, then picture files, metafiles, bitmaps and all files; `name` is the
  // starting name and, on OK, the chosen one.
  bool PromptFileName(QString& name, int title_id, bool open);
  // "Save" and "Save As": without a name the save dialog asks; with replace the document takes
  // the new name. A failed save leaves any existing file as it was and is shown in the error
  // box with the file's name and the reason (Retry tries again).
  bool DoSave(const QString& name, bool replace);
  bool SaveMetafile(const QString& name, int mode, int w, int h, Save_Failure* failure = nullptr);
  bool SaveBitmap(const QString& name, int mode, int w, int h, Save_Failure* failure = nullptr);
  // The source area and, when w or h is 0, the chosen output size; false when there is none.
  bool ExportArea(KRrect& area, int kind, int mode, int& w, int& h) const;
  // The page mapping of an export (kind 2 metafile, 3 bitmap) from the area onto w x h.
  void PrepareExportDC(int kind, KRdc& dc, int mode, int w, int h, const KRrect& area) const;
  // The picture at the selected anchor drawn through the bitmap mapping of the area onto w x h.
  QImage ExportImage(const KRrect& area, int mode, int w, int h);
  // The area mode of exports and printing that name none (1-5).
  int ViewMode() const { return view_mode_; }
  void SetViewMode(int m) { if (m >= 1 && m <= 5) view_mode_ = m; }
  // Puts a bitmap into slot n (its old one goes; the table grows to hold it); false for n < 0.
  bool PutBitmap(int n, std::unique_ptr<CKRDIB> bitmap);
  // A 24-bit bitmap of an image's pixels; false when it cannot be made.
  static bool ImageToDib(const QImage& image, CDib& dib);
  const QString& PathName() const { return path_name_; }
  void SetPathName(const QString& p) { path_name_ = p; }

  // --- state ---
  channel::KRwinblock* block() { return block_; }
  const channel::KRwinblock* block() const { return block_; }
  ToolList& Tools() { return tools_; }
  int ObjectCount() const { return object_count_; }
  int HiddenCount() const { return hidden_count_; }
  int ObjectsInSegment(int s) const { return s >= 0 && s < int(by_segment_.size()) ? by_segment_[s] : 0; }
  int PictureWidth() const { return picture_width_; }
  int PictureHeight() const { return picture_height_; }
  int DefaultMarkerSize() const { return default_marker_size_; }
  const KRrect& Bounds() const { return bounds_; }
  const KRrect& ViewportRect() const { return viewport_rect_; }
  const KRrect& ViewportUnion() const { return viewport_union_; }
  bool FirstViewport() const { return first_viewport_; }
  std::int32_t Background() const { return background_; }
  void SetBackground(std::int32_t c) { background_ = c; }
  int WindowNumber() const { return window_number_; }
  void SetWindowNumber(int w) { window_number_ = w; }
  const QString& Title() const { return title_; }
  void SetTitle(const QString& t) { title_ = t; }
  bool Storing() const { return storing_; }
  void SetStoring(bool on) { storing_ = on; }
  CKorndGC& Environment() { return env_; }
  // The active view (the one that last got the focus) and its frame; a document has one view
  // per window opened on it ("New Window"), hints reach them all.
  CKorndView* View() const { return view_; }
  // Makes v a view of the document and the active one; null forgets every view.
  void SetView(CKorndView* v);
  // A view going away: another one becomes active.
  void RemoveView(CKorndView* v);
  const std::vector<CKorndView*>& Views() const { return views_; }
  CKorndChild* Child() const { return child_; }
  void SetChild(CKorndChild* c) { child_ = c; }
  // Closes every frame showing the document.
  void CloseFrames();
  std::unique_ptr<CKorndTool>& PendingTool() { return pending_tool_; }

  // --- control requests, state stack, segments and groups (CKorndDoc_Control.cpp) ---
  // The B requests the point-list transfer above does not serve.
  std::uint32_t ExecuteControl(std::uint32_t reply);
  // B 24 and B 25: saving the head as drawing state n and restoring it.
  std::uint32_t SaveState(int n, std::uint32_t reply);
  std::uint32_t RestoreState(int n, std::uint32_t reply);
  int StateCount() const { return static_cast<int>(states_.size()); }
  int CurrentState() const { return current_state_; }
  // B 19's device origin and viewport rectangle from the head's viewport.
  void ComputeViewport();
  std::uint32_t CreationTick() const { return creation_tick_; }
  // Segments and groups (CKorndDoc_Segments.cpp): the group of segment s (s >= 0), made when
  // missing; putting it into the drawing; B 26 and B 23.
  CKorndOG* GetGroup(int s);
  CKorndOG* CommitGroup(int s);
  int CollectSegment(int s, KRrect& area);
  int EraseSegment(int s, KRrect& area);
  int ShowGroup(int n, const KRrect* area);
  int SegmentOp(int a, int b);
  // Anchors (B 29, B 34): the selected anchor's number, or 0 / minus the missing ones.
  int PushAnchor(int n);
  int SelectAnchor(int n);
  int AnchorCount() const { return anchor_count_; }
  int CurrentAnchor() const { return current_anchor_; }
  // Id of the selected anchor object (0 when none is selected), and the environment saved in
  // the last anchor pushed (null without anchors).
  int SelectedAnchorId() const;
  const CKorndGC* TopAnchorEnv() const;
  // The picture as it looks at the selected anchor: the list up to that anchor from env, then
  // on from the environment saved in the last anchor, so the objects between are left out.
  // Without a selected anchor the whole list.
  void RenderAtAnchor(KRdc* dc, CKorndGC& env);
  // env continues where the last anchor pushed left off (its saved environment and list place),
  // applied to dc; false without anchors.
  bool StartAtTopAnchor(KRdc& dc, CKorndGC& env) const;
  // The group table (entries may be empty).
  const std::vector<std::unique_ptr<CKorndOG>>& Groups() const { return groups_; }
  // The last update hint sent to the views (code and parameter).
  int LastHint() const { return last_hint_; }

 private:
  template <class Visit>
  void WalkSegment(int s, Visit visit);
  void SendHint(int hint, CKorndTool* tool, const KRrect* area);
  void DeleteAllTools();
  // Takes the node off the list (freed, or kept while a drawing runs); returns the next one.
  ToolList::iterator UnlinkTool(ToolList::iterator it);
  // Frees an object taken out of the list, or keeps it while a drawing runs.
  void DiscardTool(std::unique_ptr<CKorndTool> t);
  bool FinishPointList(CKorndTool& t);
  bool FinishPlot(CKorndPlot& p);
  std::uint32_t ExecuteB(std::uint32_t reply);
  std::uint32_t ExecuteC(std::uint32_t reply);
  std::uint32_t ExecuteD(std::uint32_t reply);
  std::uint32_t ExecuteE(std::uint32_t reply);
  std::uint32_t ExecuteF(std::uint32_t reply);
  std::uint32_t ExecuteG(std::uint32_t reply);
  std::uint32_t ExecuteM(std::uint32_t reply);
  int ChooseBitmapNumber(int n);
  int ChooseSymbolEntry(int k);
  // Draws an added object into the open recording and deletes it; false when none is open.
  bool RecordTool(std::unique_ptr<CKorndTool>& t);
  void WriteNumber(int n);

  platform::Shared_Block shared_;               // the window's shared block, when it has one
  channel::KRwinblock own_block_{};             // the document's own block
  channel::KRwinblock* block_ = &own_block_;    // the block in use
  std::unique_ptr<CKorndTool> pending_tool_;
  CKorndDataBuffer data_buffer_;  // bitmaps and point lists arriving in place or through the data area
  CKorndGC env_;
  int erased_low_ = 0, erased_high_ = 0;
  int pending_message_ = 0;
  ToolList tools_;
  ToolList retired_;             // taken off the list while a drawing ran
  int drawing_depth_ = 0;
  std::uint64_t list_changes_ = 0;
  int object_count_ = 0;
  int hidden_count_ = 0;
  std::vector<int> by_segment_ = std::vector<int>(32, 0);
  std::int32_t background_ = -1;
  int picture_width_ = 0, picture_height_ = 0;
  int default_marker_size_ = 2;
  bool first_viewport_ = false;
  KRrect viewport_rect_, viewport_union_, bounds_;
  int window_number_ = 0;
  QString title_;
  bool storing_ = true;
  bool replaying_ = false;
  bool released_ = false;
  CKorndView* view_ = nullptr;
  std::vector<CKorndView*> views_;
  CKorndChild* child_ = nullptr;
  std::vector<std::unique_ptr<CKRDIB>> bitmaps_ = std::vector<std::unique_ptr<CKRDIB>>(4);
  int next_bitmap_ = 1;
  std::vector<std::unique_ptr<CKREMF>> symbols_ = std::vector<std::unique_ptr<CKREMF>>(8);
  int next_symbol_ = 1;
  CKREMF* recording_ = nullptr;
  std::array<std::uint8_t, channel::Head_Size> saved_head_{};
  int print_margin_x_ = 5, print_margin_y_ = 5;
  Printer_Settings printer_settings_;
  // control requests
  std::uint32_t creation_tick_ = 0;
  std::uint32_t timer_period_ = 0;  // B 39's periodic timer, 0 off
  std::int32_t timer_count_ = 0;
  std::uint32_t timer_due_ = 0;
  std::vector<std::unique_ptr<class CKorndStateSave>> states_;
  int current_state_ = -1;
  std::vector<std::unique_ptr<CKorndOG>> groups_;  // the group table
  std::vector<int> group_index_ = std::vector<int>(32, -1);
  std::vector<class CKorndAnchor*> anchors_ = std::vector<class CKorndAnchor*>(1, nullptr);  // 1..count
  int anchor_count_ = 0;
  int current_anchor_ = 0;
  int last_hint_ = 0;
  void RemoveLastAnchor();
  bool GrowSegments(int s);
  void SendArea(const KRrect& area);
  std::uint32_t WaitForClass(int event_class);
  std::uint32_t TimedWait(bool from_creation);
  std::uint32_t LastButton();
  std::uint32_t Options(int option, int value);
  std::uint32_t InputText();
  // B 17 and B 18: extents of the data area's text and of one symbol character.
  std::uint32_t TextExtent(std::uint32_t reply);
  std::uint32_t SymbolExtent(std::uint32_t reply);
  QString path_name_;
  int view_mode_ = 2;  // area mode of exports that name none
  // Anchors read from a picture file (from `first` on) join the anchor table, each keeping the
  // environment a replay reaches at its place.
  void AdoptAnchors(ToolList::iterator first);
};
