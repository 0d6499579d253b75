# Address book: the six searches and the contact loader over 100,000 contacts.
add_executable(bench_contacts contacts/bench_contacts.cpp)
target_link_libraries(bench_contacts PRIVATE contacts_windows Qt6::Widgets)
target_compile_definitions(bench_contacts PRIVATE VELMORA_TEMPLATE_STORE="${VELMORA_RUNTIME_DIR}/pad.db")
add_dependencies(bench_contacts pad_db)
