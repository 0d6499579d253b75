#pragma once

#include <libical/ical.h>

#include <QByteArray>
#include <QString>

#include <memory>

// Small owners for what libical hands out, so no path through our code leaks
// a component or a string, and the one setting libical needs before use.
namespace Libical {

struct ComponentFree
{
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

struct TimezoneFree
{
    void operator()(icaltimezone *zone) const { icaltimezone_free(zone, 1); }
};
using Timezone = std::unique_ptr<icaltimezone, TimezoneFree>;

struct RecurFree
{
    void operator()(icalrecur_iterator *iterator) const { icalrecur_iterator_free(iterator); }
};
using RecurIterator = std::unique_ptr<icalrecur_iterator, RecurFree>;

// The bytes of a string from one of libical's *_r calls, which the caller
// owns; the string is freed here.
QByteArray take(char *owned);

// A text value as libical gives it (UTF-8, possibly null).
inline QString text(const char *utf8)
{
    return utf8 ? QString::fromUtf8(utf8) : QString();
}

// Bad input must come back as X-LIC-ERROR properties and error codes, never
// end the program: called before every use.
void prepare();

} // namespace Libical
