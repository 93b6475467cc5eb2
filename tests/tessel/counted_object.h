#pragma once

// An owned object that counts its own destruction, to show when a container frees what it owns.
struct CountedObject {
    explicit CountedObject(int* destroyed) : destroyed(destroyed) {}
    ~CountedObject() { ++*destroyed; }
    int* destroyed;
};
