velmora_add_test(app tst_auto_hide LIBS shell)
velmora_add_test(app tst_launcher LIBS shell)
