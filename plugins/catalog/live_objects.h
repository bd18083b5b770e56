// The live objects of one class of this library, so that an object the
// kernel hands back (it may serve a class by another library's object) is
// recognised as one of ours by its address, and only while it lives. Each
// object links itself in through a member of its own, so that making one
// allocates nothing; nothing but pointers is looked at under the lock.
#pragma once

#include <windows.h>

#include "protocol/bex_plugin.h"

namespace catalog {

template <typename T>
class LiveObjects {
public:
    // A member of each T: linked in when made, out by Leave or when it goes.
    class Entry {
    public:
        explicit Entry(T* self) noexcept : self_(self) {
            ::AcquireSRWLockExclusive(&lock_);
            next_ = head_;
            head_ = this;
            ::ReleaseSRWLockExclusive(&lock_);
        }
        ~Entry() { Leave(); }
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;

        // From now on the object is not found; for a destructor that must
        // not be found while it takes the object apart.
        void Leave() noexcept {
            ::AcquireSRWLockExclusive(&lock_);
            for (Entry** link = &head_; *link; link = &(*link)->next_) {
                if (*link == this) {
                    *link = next_;
                    break;
                }
            }
            ::ReleaseSRWLockExclusive(&lock_);
        }

    private:
        friend class LiveObjects;
        T* const self_;
        Entry* next_ = nullptr;
    };

    // The live T behind `object`, else null.
    static T* Find(const IBexPlugin* object) noexcept {
        if (!object) return nullptr;
        T* found = nullptr;
        ::AcquireSRWLockShared(&lock_);
        for (const Entry* entry = head_; entry && !found; entry = entry->next_)
            if (static_cast<const IBexPlugin*>(entry->self_) == object) found = entry->self_;
        ::ReleaseSRWLockShared(&lock_);
        return found;
    }

private:
    static inline SRWLOCK lock_ = SRWLOCK_INIT;
    static inline Entry* head_ = nullptr;
};

}  // namespace catalog
