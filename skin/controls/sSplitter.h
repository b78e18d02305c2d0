// The skinned splitter: a windowless class-library TSplitter painted from its
// section ("SPLITTER"), hot under the mouse and pressed while it resizes live.
#pragma once

#include "ExtCtrls.h"
#include "sSkinnedControl.h"

class TsSplitter : public TsSkinned<TSplitter> {
    CLASSLIB_DECLARE_CLASS(TsSplitter)
public:
    explicit TsSplitter(TComponent* AOwner);
    // The button is down on the splitter.
    bool Dragging() const { return FDragging; }

protected:
    // Pressed while dragging with rsUpdate; Active when hot or focused.
    TsPaintState CurrentState() override;
    bool SkinnedMessage(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

public:
    // A cancel (the mouse taken away) ends the drag as a release would.
    void Dispatch(TMessage& Message) override;

private:
    // A neighbour collapsed to nothing along the splitter's axis is put back
    // beside it, so that the drag can open it again.
    void SnapCollapsedNeighbours();
    void PaintSkinnedWithEvent(TMessage& Message);
    // The press is over, however it ended: not pressed, hints back.
    void EndDrag();

    bool FDragging = false;
};
