// The number of elements of an array, so that every capacity is said once, by the array itself.
#ifndef DUNVATEL_BASE_ARRAY_SIZE_H
#define DUNVATEL_BASE_ARRAY_SIZE_H

#define ARRAY_SIZE(array) (sizeof(array) / sizeof((array)[0]))

#endif
