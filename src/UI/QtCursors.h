// The cursor as edge resizing sets it, through one application override cursor that is
// changed in place (the tracker sets a shape on every check, so stacking one override
// per call would never unwind). The arrow gives the override up.
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
