<Quillnote FormatVersion="1.1">
	<Note Left="0" Top="0" Text="x"/>
	<Foo a="1">
		<Bar/>
	</Foo>
</Quillnote>
