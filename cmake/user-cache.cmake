# The user's cache of what a machine builds or fetches once for the project, where the scripts
# that make it put it: dunvatel/ in XDG_CACHE_HOME, or in ~/.cache when that is unset or empty
# (scripts/device-toolchain.sh, scripts/armel-gconv.sh).
if(NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
    set(DUNVATEL_USER_CACHE $ENV{XDG_CACHE_HOME}/dunvatel)
else()
    set(DUNVATEL_USER_CACHE $ENV{HOME}/.cache/dunvatel)
endif()
