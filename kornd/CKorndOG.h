// CKorndOG.h - drawing object type 31: an object group, an ordered list of member objects that
// it owns and draws in order. A group is never a member: adding one moves its members.
#pragma once

#include <cstdint>
#include <memory>

#include "kornd/CKorndTool.h"

class CKorndOG : public CKorndTool {
 public:
  CKorndOG() : CKorndTool(Group_Type, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;
  int Weight() const override { return static_cast<int>(members_.size()); }

  // Appends an object, taken from the slot (1); or moves the members of a group in the slot
  // (their number), marking the emptied group erased unless it had none; the caller deletes it.
  int AddTool(std::unique_ptr<CKorndTool>& slot);
  // Appends every object of the list in order and empties it; returns how many there were.
  int MergeList(ToolList& list);
  // Empties the group without deleting the members, which go back to the caller.
  ToolList RemoveAll();
  const ToolList& Members() const { return members_; }

 private:
  void Unite(const KRrect& r);
  ToolList members_;
};
