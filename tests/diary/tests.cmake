velmora_add_test(diary tst_note_core LIBS diary_core)
velmora_add_test(diary tst_note_pad LIBS diary_windows)
velmora_add_test(diary tst_note_history LIBS diary_windows)
velmora_add_test(diary tst_diary_text_fit LIBS diary_windows)
