#pragma once

#include "TDynaArray.h"

#include <type_traits>

// Typed view of a TDynaArray whose records are of type T and whose mirror is a T*.
// The array copies records as bytes, so T must be trivially copyable.
template <class T>
class TDynaArrayOf : public TDynaArray {
    static_assert(std::is_trivially_copyable_v<T>, "records are moved as raw bytes");

public:
    explicit TDynaArrayOf(T** mirror = nullptr) : TDynaArray(sizeof(T), mirror) {}

    T* GetObject(std::uint32_t index) { return static_cast<T*>(TDynaArray::GetObject(index)); }
    T* Add() { return static_cast<T*>(TDynaArray::Add()); }
    T* AddMany(std::uint32_t n) { return static_cast<T*>(TDynaArray::AddMany(n)); }
    T* Insert(std::int32_t nr) { return static_cast<T*>(TDynaArray::Insert(nr)); }
    T* current() const { return static_cast<T*>(aobj); }
    T* at(std::uint32_t index) const { return static_cast<T*>(recordAt(index)); }
    T& operator[](std::uint32_t index) const { return *at(index); }

    // Range-for over the records without touching the cursor or the mirror.
    T* begin() const { return static_cast<T*>(static_cast<void*>(poi)); }
    T* end() const { return begin() + count; }
};
