// Freed blocks of one size, kept per thread for the next allocation.
#ifndef SUBCLIENTCONF_DIRLIST_FSBLOCKCACHE_H
#define SUBCLIENTCONF_DIRLIST_FSBLOCKCACHE_H

#include <cstddef>
#include <new>

// A caller that builds a directory list for each path it asks about (the
// owner of a path, a browse step) frees the list and its entries right away:
// keeping a few of their blocks lets the next list reuse them instead of
// asking malloc again. Sanitizer builds keep nothing, so that they still see
// every use of a freed block.
template <std::size_t Size>
class FSBlockCache {
public:
    static void* allocate(std::size_t size, bool nothrow)
    {
        if (size == Size)
            if (void* block = take())
                return block;
        return nothrow ? ::operator new(size, std::nothrow) : ::operator new(size);
    }
    static void release(void* block, std::size_t size) noexcept
    {
        if (block && (size != Size || !keep(block)))
            ::operator delete(block);
    }

private:
    static constexpr int kKept = 8;
    struct Shelf {
        void* blocks[kKept];
        int count = 0;
        ~Shelf()
        {
            while (count > 0)
                ::operator delete(blocks[--count]);
        }
    };
#if defined(__SANITIZE_ADDRESS__)
    static void* take() noexcept
    {
        return nullptr;
    }
    static bool keep(void*) noexcept
    {
        return false;
    }
#else
    static Shelf& shelf() noexcept
    {
        thread_local Shelf kept;
        return kept;
    }
    static void* take() noexcept
    {
        Shelf& s = shelf();
        return s.count > 0 ? s.blocks[--s.count] : nullptr;
    }
    static bool keep(void* block) noexcept
    {
        Shelf& s = shelf();
        if (s.count == kKept)
            return false;
        s.blocks[s.count++] = block;
        return true;
    }
#endif
};

#endif
