@ What the filter does not know fails the build at its line, and a static constructor's
@ section with it (device/assembly.py). The device's build checks that the line marked
@ "refused" is refused (device/checks.py), one refusal at a time.
	.text
	.weak	lead	@ refused
lead:
	mov	pc, lr
