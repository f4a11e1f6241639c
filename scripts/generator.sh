# generator DIR: the CMake generator option for a build folder: Ninja for a new one, nothing for
# one that is configured already (whatever generator made it).
generator() {
    [[ -f $1/CMakeCache.txt ]] || echo "-G Ninja"
}
