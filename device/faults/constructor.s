@ A static constructor: nothing on the handheld would run it (device/assembly.py). The
@ device's build checks that the line marked "refused" is refused (device/checks.py).
	.section	.init_array,"aw",%init_array	@ refused
	.long	lead
