velmora_add_test(app tst_auto_hide LIBS shell)
velmora_add_test(app tst_launcher LIBS shell)
velmora_add_test(app tst_password_hash LIBS shell_core)
velmora_add_test(app tst_password_gate LIBS shell)
velmora_add_test(app tst_settings LIBS shell)
velmora_add_test(app tst_record_file LIBS shell_core)
velmora_add_test(app tst_record_backup LIBS shell)
velmora_add_test(app tst_shell_text_fit LIBS shell)

# Syncs at start and on the launcher's timer, against a real Radicale, on a
# private session bus with no secret store.
velmora_add_test(app tst_launcher_sync PRIVATE_BUS LIBS shell dav_server)
velmora_add_test(app tst_launcher_reminders PRIVATE_BUS LIBS shell)
