# Backup of a large record file against cp of the same file.
add_executable(bench_backup backup/bench_backup.cpp)
target_link_libraries(bench_backup PRIVATE shell_core)
