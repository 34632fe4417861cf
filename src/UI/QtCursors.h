// The cursor as edge resizing sets it, through one application override cursor that is
// changed in place (the tracker sets a shape on every check, so stacking one override
// per call would never unwind), and only when the shape changes: setting the same one
// again would restyle every window of ours on each pointer move. The arrow gives the
// override up.
#pragma once

#include "Platform/Cursors.h"

namespace kestr {

class QtCursors : public Cursors {
public:
    QtCursors() = default;
    ~QtCursors() override;
    QtCursors(const QtCursors&) = delete;
    QtCursors& operator=(const QtCursors&) = delete;

    void set(CursorShape shape) override;

private:
    bool overriding_ = false;
};

}  // namespace kestr
