#pragma once

#include <QString>

namespace platform {

// Opens a folder, web page or file in the user's own program for it. The
// program holds one opener and hands it on, so tests can put a recording one
// in its place.
class Opener {
public:
    virtual ~Opener() = default;
    // Returns 0 or the system error code of a failed start.
    virtual int Open(const QString& target) = 0;
};

// Opens through xdg-open.
class XdgOpener final : public Opener {
public:
    int Open(const QString& target) override;
};

} // namespace platform
