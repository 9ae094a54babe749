@ Instructions the StrongARM (ARMv4) lacks, after the processor directive clang writes: the
@ filter drops .cpu, so that the assembler, told -march=armv4, refuses each of them. The
@ device's build checks that the lines marked "refused" are refused (device/checks.py).
	.cpu	arm1022e
	.text
	.globl	lead
lead:
	clz	r0, r0	@ refused
	ldrd	r2, r3, [r0]	@ refused
	bx	lr	@ refused
