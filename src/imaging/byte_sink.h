#pragma once
// Receives a stream's bytes in order, a file's or a compressed stream's. False stops the writer.
#include <cstddef>
#include <cstdint>

class IByteSink {
public:
    virtual bool Write(const uint8_t* data, size_t size) = 0;

protected:
    ~IByteSink() = default;
};
