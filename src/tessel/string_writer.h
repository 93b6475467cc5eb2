#pragma once

namespace Tessel {

// Text is produced one unit at a time through this interface: a builder appends the unit, an
// encoding converts it. Nobody deletes through it, hence the protected destructor.
template <class T>
class IStringWriter {
public:
    virtual void Write(T unit) = 0;

protected:
    ~IStringWriter() = default;
};

}  // namespace Tessel
