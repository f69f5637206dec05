// Storage for a library-wide object that is built before any dynamic
// initialisation and never destroyed, so that code running in other files'
// static constructors or destructors can still use it.
#ifndef SUBCLIENTCONF_PLATFORM_KXIMMORTAL_H
#define SUBCLIENTCONF_PLATFORM_KXIMMORTAL_H

template <class T>
union KXImmortal {
    constexpr KXImmortal() : value() {}
    ~KXImmortal() {}
    T value;
};

#endif
