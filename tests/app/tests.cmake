velmora_add_test(app tst_auto_hide LIBS shell)
velmora_add_test(app tst_launcher LIBS shell)
velmora_add_test(app tst_password_hash LIBS shell_core)
velmora_add_test(app tst_password_gate LIBS shell)
