# Address book: the six searches and the contact loader over 100,000 contacts.
add_executable(bench_contacts contacts/bench_contacts.cpp)
target_link_libraries(bench_contacts PRIVATE contacts_windows Qt6::Widgets)
target_compile_definitions(bench_contacts PRIVATE VELMORA_TEMPLATE_STORE="${VELMORA_RUNTIME_DIR}/pad.db")
add_dependencies(bench_contacts pad_db)

# Contact import and export at the sizes an address book reaches.
add_executable(bench_contact_transfer contacts/bench_contact_transfer.cpp)
target_link_libraries(bench_contact_transfer PRIVATE contacts_windows Qt6::Widgets)
target_compile_definitions(bench_contact_transfer PRIVATE VELMORA_TEMPLATE_STORE="${VELMORA_RUNTIME_DIR}/pad.db"
  VELMORA_RUNTIME_DIR="${VELMORA_RUNTIME_DIR}")
add_dependencies(bench_contact_transfer pad_db supplied_files)
