#pragma once

#include <boost/signals2/dummy_mutex.hpp>
#include <boost/signals2/signal.hpp>
#include <boost/signals2/signal_type.hpp>

namespace kit {

// Every engine signal lives and fires on the main thread, so the slots are
// guarded by a no-op mutex instead of a real one.
template <class Signature>
using Signal = typename boost::signals2::signal_type<
    Signature, boost::signals2::keywords::mutex_type<boost::signals2::dummy_mutex>>::type;

using Connection = boost::signals2::connection;

// Disconnects when destroyed; worlds and components keep these so that their
// subscriptions end with them.
using ScopedConnection = boost::signals2::scoped_connection;

} // namespace kit
